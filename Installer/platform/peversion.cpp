#include "peversion.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QVector>
#include <QtEndian>

#include <limits>

namespace {

// Bytes in which every read is checked against the end; offsets are 64-bit so
// that adding a hostile 32-bit length can never wrap around.
class ByteView
{
public:
    ByteView() = default;
    ByteView(const uchar *data, quint64 size) : data(data), size(size) {}

    bool has(quint64 offset, quint64 length) const
    {
        return offset <= size && length <= size - offset;
    }
    bool u16(quint64 offset, quint16 &value) const
    {
        if (!has(offset, 2))
            return false;
        value = qFromLittleEndian<quint16>(data + offset);
        return true;
    }
    bool u32(quint64 offset, quint32 &value) const
    {
        if (!has(offset, 4))
            return false;
        value = qFromLittleEndian<quint32>(data + offset);
        return true;
    }
    ByteView part(quint64 offset, quint64 length) const
    {
        return has(offset, length) ? ByteView(data + offset, length) : ByteView();
    }
    QByteArray bytes() const
    {
        if (size > quint64(std::numeric_limits<int>::max()))
            return {};
        return QByteArray(reinterpret_cast<const char *>(data), int(size));
    }
    quint64 length() const { return size; }

private:
    const uchar *data = nullptr;
    quint64 size = 0;
};

constexpr quint16 DosSignature = 0x5A4D;       // "MZ"
constexpr quint32 PeSignature = 0x00004550;    // "PE\0\0"
constexpr quint16 Pe32Magic = 0x10B;
constexpr quint16 Pe32PlusMagic = 0x20B;
constexpr quint32 ResourceDirectoryIndex = 2;
constexpr quint32 MaxSections = 96;            // the format's own limit
constexpr quint32 VersionResourceType = 16;    // RT_VERSION
constexpr quint32 VersionResourceName = 1;     // VS_VERSION_INFO
constexpr quint32 AnyId = 0xFFFFFFFF;
constexpr quint32 HighBit = 0x80000000;

struct Section
{
    quint32 virtualAddress = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

// The parts of a PE file needed to reach its resources.
class PeImage
{
public:
    explicit PeImage(const ByteView &file) : file(file) {}

    bool parse()
    {
        quint16 dosSignature = 0;
        quint32 peOffset = 0;
        quint32 peSignature = 0;
        if (!file.u16(0, dosSignature) || dosSignature != DosSignature || !file.u32(0x3C, peOffset)
            || !file.u32(peOffset, peSignature) || peSignature != PeSignature)
            return false;
        const quint64 coffHeader = quint64(peOffset) + 4;
        quint16 sectionCount = 0;
        quint16 optionalHeaderSize = 0;
        if (!file.u16(coffHeader + 2, sectionCount) || !file.u16(coffHeader + 16, optionalHeaderSize))
            return false;
        const quint64 optionalHeader = coffHeader + 20;
        return readResourceDirectory(optionalHeader, optionalHeaderSize)
            && readSections(optionalHeader + optionalHeaderSize, sectionCount);
    }

    // The resource section's bytes, as far as the file holds them.
    ByteView resources() const { return view(resourceRva, resourceSize); }

    // length bytes at a relative virtual address, or an empty view when the
    // file does not hold all of them.
    ByteView view(quint32 rva, quint32 length) const
    {
        for (const Section &section : sections) {
            if (rva < section.virtualAddress)
                continue;
            const quint64 inSection = quint64(rva) - section.virtualAddress;
            if (inSection < section.rawSize && length <= section.rawSize - inSection)
                return file.part(section.rawOffset + inSection, length);
        }
        return {};
    }

private:
    bool readResourceDirectory(quint64 optionalHeader, quint16 optionalHeaderSize)
    {
        quint16 magic = 0;
        if (!file.u16(optionalHeader, magic))
            return false;
        quint64 countField = 0;
        if (magic == Pe32Magic)
            countField = optionalHeader + 92;
        else if (magic == Pe32PlusMagic)
            countField = optionalHeader + 108;
        else
            return false;
        quint32 directoryCount = 0;
        if (!file.u32(countField, directoryCount) || directoryCount <= ResourceDirectoryIndex)
            return false;
        const quint64 entry = countField + 4 + ResourceDirectoryIndex * 8;
        if (entry + 8 > optionalHeader + optionalHeaderSize)
            return false;
        return file.u32(entry, resourceRva) && file.u32(entry + 4, resourceSize) && resourceSize > 0;
    }

    bool readSections(quint64 table, quint16 count)
    {
        if (count > MaxSections)
            return false;
        for (quint32 i = 0; i < count; ++i) {
            const quint64 header = table + quint64(i) * 40;
            Section section;
            if (!file.u32(header + 12, section.virtualAddress) || !file.u32(header + 16, section.rawSize)
                || !file.u32(header + 20, section.rawOffset))
                return false;
            sections.append(section);
        }
        return true;
    }

    ByteView file;
    QVector<Section> sections;
    quint32 resourceRva = 0;
    quint32 resourceSize = 0;
};

// The target of the entry with the given id (or of the first entry for AnyId)
// in the resource directory at offset. Subdirectory targets carry the high bit.
bool findResourceEntry(const ByteView &resources, quint32 offset, quint32 id, quint32 &target)
{
    quint16 namedCount = 0;
    quint16 idCount = 0;
    if (!resources.u16(quint64(offset) + 12, namedCount) || !resources.u16(quint64(offset) + 14, idCount))
        return false;
    const quint64 entries = quint64(offset) + 16;
    for (quint32 i = 0; i < quint32(namedCount) + idCount; ++i) {
        quint32 name = 0;
        if (!resources.u32(entries + i * 8, name) || !resources.u32(entries + i * 8 + 4, target))
            return false;
        if (id == AnyId || (!(name & HighBit) && name == id))
            return true;
    }
    return false;
}

bool findSubdirectory(const ByteView &resources, quint32 offset, quint32 id, quint32 &subdirectory)
{
    quint32 target = 0;
    if (!findResourceEntry(resources, offset, id, target) || !(target & HighBit))
        return false;
    subdirectory = target & ~HighBit;
    return true;
}

// Type, name and language: the version resource is the first language of the
// resource named VS_VERSION_INFO of type RT_VERSION.
ByteView versionResource(const ByteView &file)
{
    PeImage image(file);
    if (!image.parse())
        return {};
    const ByteView resources = image.resources();
    quint32 names = 0;
    quint32 languages = 0;
    quint32 dataEntry = 0;
    if (!findSubdirectory(resources, 0, VersionResourceType, names)
        || !findSubdirectory(resources, names, VersionResourceName, languages)
        || !findResourceEntry(resources, languages, AnyId, dataEntry) || (dataEntry & HighBit))
        return {};
    quint32 dataRva = 0;
    quint32 dataSize = 0;
    if (!resources.u32(dataEntry, dataRva) || !resources.u32(quint64(dataEntry) + 4, dataSize))
        return {};
    return image.view(dataRva, dataSize);
}

QByteArray readVersionResource(const QString &filePath)
{
    if (!QFileInfo(filePath).isFile())
        return {};
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return {};
    const uchar *data = file.map(0, file.size());
    if (!data)
        return {};
    return versionResource(ByteView(data, quint64(file.size()))).bytes();
}

quint64 alignToWord(quint64 offset)
{
    return (offset + 3) & ~quint64(3);
}

// One node of a version resource: length, value length, type, key, value and
// children, each part aligned to 32 bits from the start of the resource.
struct VersionNode
{
    QString key;
    quint64 valueBegin = 0;
    quint64 valueLength = 0;
    quint64 childrenBegin = 0;
    quint64 end = 0;
};

bool readVersionNode(const ByteView &block, quint64 offset, quint64 limit, VersionNode &node)
{
    quint16 length = 0;
    quint16 valueLength = 0;
    quint16 type = 0;
    if (!block.u16(offset, length) || !block.u16(offset + 2, valueLength) || !block.u16(offset + 4, type)
        || length < 6 || offset + length > limit)
        return false;
    node.end = offset + length;
    node.key.clear();
    quint64 at = offset + 6;
    for (quint16 unit = 0;; at += 2) {
        if (at + 2 > node.end || !block.u16(at, unit))
            return false;
        if (unit == 0)
            break;
        node.key.append(QChar(unit));
    }
    const quint64 valueBytes = type == 1 ? quint64(valueLength) * 2 : valueLength;
    node.valueBegin = qMin(alignToWord(at + 2), node.end);
    node.valueLength = qMin(valueBytes, node.end - node.valueBegin);
    node.childrenBegin = qMin(alignToWord(node.valueBegin + valueBytes), node.end);
    return true;
}

bool findVersionChild(const ByteView &block, const VersionNode &parent, const QString &key, VersionNode &child)
{
    for (quint64 offset = parent.childrenBegin; offset < parent.end; offset = alignToWord(child.end)) {
        if (!readVersionNode(block, offset, parent.end, child))
            return false;
        if (child.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

namespace Platform {

quint32 fileVersionInfoSize(const QString &filePath)
{
    return quint32(readVersionResource(filePath).size());
}

bool fileVersionInfo(const QString &filePath, quint32 size, QByteArray &block)
{
    const QByteArray resource = readVersionResource(filePath);
    if (resource.isEmpty())
        return false;
    block = resource.left(int(qMin<quint64>(size, quint64(resource.size()))));
    return true;
}

bool queryVersionValue(const QByteArray &block, const QString &subBlock, QByteArray &value)
{
    const ByteView view(reinterpret_cast<const uchar *>(block.constData()), quint64(block.size()));
    VersionNode node;
    if (!readVersionNode(view, 0, view.length(), node))
        return false;
    const QStringList keys = subBlock.split('\\', Qt::SkipEmptyParts);
    for (const QString &key : keys) {
        VersionNode child;
        if (!findVersionChild(view, node, key, child))
            return false;
        node = child;
    }
    value = block.mid(int(node.valueBegin), int(node.valueLength));
    return true;
}

} // namespace Platform
