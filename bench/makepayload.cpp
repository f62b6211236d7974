// makepayload FOLDER FILES TOTAL_BYTES
//
// Writes a synthetic product payload: FILES files in nested folders (ten files
// to a folder, a hundred folders to a parent), TOTAL_BYTES in all. Every other
// file is random bytes, the rest is text-like and compresses well, so the
// archiver meets both kinds. The same arguments always give the same payload.

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

quint64 state = 0x9e3779b97f4a7c15ull;

quint32 nextRandom()
{
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return quint32(state >> 33);
}

QByteArray randomContent(qint64 size)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(nextRandom());
    return bytes;
}

QByteArray textContent(qint64 size)
{
    static const char *const words[] = {"cloud ", "game ", "launcher ", "render ", "frame ",
                                        "stream ", "latency ", "player ", "session ", "vela ",
                                        "texture ", "shader ", "\n", "buffer ", "client "};
    QByteArray text;
    text.reserve(int(size) + 16);
    while (text.size() < size)
        text += words[nextRandom() % (sizeof words / sizeof *words)];
    text.truncate(int(size));
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: makepayload FOLDER FILES TOTAL_BYTES\n");
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    const qint64 files = std::atoll(argv[2]);
    const qint64 total = std::atoll(argv[3]);
    const qint64 meanSize = files > 0 ? total / files : 0;
    qint64 written = 0;
    for (qint64 i = 0; i < files; ++i) {
        const qint64 leaf = i / 10;
        const QString folder = QString("%1/part%2/group %3").arg(root).arg(leaf / 100).arg(leaf % 100);
        if (i % 10 == 0 && !QDir().mkpath(folder))
            return 1;
        // Sizes spread from half to one and a half of the mean; the last file
        // takes what is left so the total is exact.
        qint64 size = meanSize / 2 + (meanSize > 0 ? qint64(nextRandom()) % (meanSize + 1) : 0);
        if (i == files - 1 || written + size > total)
            size = qMax<qint64>(0, total - written);
        QFile file(QString("%1/file%2.dat").arg(folder).arg(i));
        const QByteArray content = i % 2 ? randomContent(size) : textContent(size);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return 1;
        written += size;
    }
    return 0;
}
