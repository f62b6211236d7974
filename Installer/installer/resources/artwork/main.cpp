// Paints the installer's skin: every bitmap the style sheet refers to and the
// application icon, then lists them in artwork.qrc for the resource compiler.
//
//     skin-artwork OUTPUT_DIR
//
// Run at build time with QT_QPA_PLATFORM=offscreen.

#include "appicon.h"
#include "backgrounds.h"
#include "controls.h"
#include "painting.h"

#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace {

struct Artwork {
    QString path; // resource path, also the file path below the output folder
    std::function<QImage()> paint;
};

QList<Artwork> artworks()
{
    using S = ButtonState;
    return {
        {"pix/bg_start.png", startBackground},
        {"pix/bg_progress.png", progressBackground},
        {"pix/bg_msgbox.png", messageBoxBackground},
        {"pix/bg_agreements.png", agreementsBackground},
        {"pix/close.png", [] { return closeButton(S::Normal); }},
        {"pix/close_hover.png", [] { return closeButton(S::Hover); }},
        {"pix/close_pressed.png", [] { return closeButton(S::Pressed); }},
        {"pix/min.png", [] { return minimiseButton(S::Normal); }},
        {"pix/min_hover.png", [] { return minimiseButton(S::Hover); }},
        {"pix/min_pressed.png", [] { return minimiseButton(S::Pressed); }},
        {"pix/back.png", [] { return backButton(S::Normal); }},
        {"pix/back_hover.png", [] { return backButton(S::Hover); }},
        {"pix/install.png", [] { return installButton(S::Normal); }},
        {"pix/install_hover.png", [] { return installButton(S::Hover); }},
        {"pix/install_pressed.png", [] { return installButton(S::Pressed); }},
        {"pix/install_disabled.png", [] { return installButton(S::Disabled); }},
        {"pix/path_chooser.png", [] { return pathChooserButton(S::Normal); }},
        {"pix/path_chooser_hover.png", [] { return pathChooserButton(S::Hover); }},
        {"pix/path_chooser_pressed.png", [] { return pathChooserButton(S::Pressed); }},
        {"pix/checked.png", [] { return checkBoxIndicator(true); }},
        {"pix/unchecked.png", [] { return checkBoxIndicator(false); }},
    };
}

const QList<int> iconSizes = {16, 24, 32, 48, 64, 96, 128, 192, 256};

bool writeIcon(const QString &path)
{
    QList<QImage> images;
    for (int size : iconSizes)
        images.append(appIconImage(size));
    return writeIcoFile(path, images);
}

bool writeQrc(const QString &path, const QStringList &files)
{
    QSaveFile qrc(path);
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&qrc);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const QString &file : files)
        out << "    <file>" << file << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    out.flush();
    return qrc.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skin-artwork OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath("pix")) {
        std::fprintf(stderr, "skin-artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    const QString family = QFontInfo(captionFont(16)).family();
    if (family != captionFont(16).family())
        std::fprintf(stderr, "skin-artwork: warning: captions fall back to \"%s\"\n",
                     qPrintable(family));

    QStringList files;
    for (const Artwork &artwork : artworks()) {
        if (!artwork.paint().save(out.filePath(artwork.path), "PNG")) {
            std::fprintf(stderr, "skin-artwork: cannot write %s\n", qPrintable(artwork.path));
            return 1;
        }
        files << artwork.path;
    }
    if (!writeIcon(out.filePath("app.ico"))) {
        std::fprintf(stderr, "skin-artwork: cannot write app.ico\n");
        return 1;
    }
    files << "app.ico";
    if (!writeQrc(out.filePath("artwork.qrc"), files)) {
        std::fprintf(stderr, "skin-artwork: cannot write artwork.qrc\n");
        return 1;
    }
    return 0;
}
