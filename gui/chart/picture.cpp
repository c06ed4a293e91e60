#include "gui/chart/picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>

#include "gui/common/user_dialogs.h"
#include "state/atomic_file.h"
#include "state/text.h"

namespace qv {

namespace {

constexpr QChar kSeparator = u'/';

bool IsSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\';
#else
    return c == kSeparator;
#endif
}

qsizetype LastSeparator(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (IsSeparator(path[i])) return i;
    return -1;
}

// One separator where several follow each other. A leading pair on Windows
// (a network share, \\server\share) is kept.
QString CollapseSeparators(const QString& folder) {
    QString out;
    out.reserve(folder.size());
    qsizetype start = 0;
#ifdef Q_OS_WIN
    if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
        out += folder.left(2);
        start = 2;
    }
#endif
    for (qsizetype i = start; i < folder.size(); ++i) {
        if (IsSeparator(folder[i]) && !out.isEmpty() && IsSeparator(out.back())) continue;
        out += folder[i];
    }
    return out;
}

// `what` followed by "path": reason, the path quoted safely, ending in one full stop.
QString FileFailure(const char* what, const QString& path, const QString& reason) {
    QString text = QString::fromLatin1(what) + QString::fromStdString(QuoteUserText(path.toStdString())) +
                   QStringLiteral(": ") + reason;
    return text.endsWith(u'.') ? text : text + u'.';
}

}  // namespace

QImage OpaquePicture(const QPixmap& captured) {
    // The form's background is white; anything the widgets leave transparent
    // would otherwise turn black in a JPEG, which has no transparency.
    QImage picture(captured.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawImage(QPoint(0, 0), captured.toImage());
    }
    picture.setDevicePixelRatio(captured.devicePixelRatio());
    return picture;
}

void SplitPath(const QString& path, QString& folder, QString& fileName) {
    const qsizetype p = LastSeparator(path);
    if (p < 0) return;
    folder = path.left(p);
    fileName = path.mid(p + 1);
}

QString JpegPathFromChosen(const QString& chosen) {
    const qsizetype nameStart = LastSeparator(chosen) + 1;
    const qsizetype dot = chosen.indexOf(u'.', nameStart);
    return (dot >= 0 ? chosen.left(dot) : chosen) + QStringLiteral(".jpg");
}

QString DateStampName(bool dateOnly) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
    return dateOnly ? stamp.left(8) : stamp;
}

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString UniqueJpegPath(const QString& folder, const QString& fileName, QWidget* parent, UserDialogs& dialogs) {
    QString dir = folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
    if (dir.isEmpty() || !IsSeparator(dir.back())) dir += kSeparator;
    dir = CollapseSeparators(dir);

    QString name = fileName;
    if (name.isEmpty())
        name = DateStampName(true) + QStringLiteral(".jpg");
    else if (name.contains(u'.'))
        name.replace(QStringLiteral(".bmp"), QStringLiteral(".jpg"), Qt::CaseSensitive);
    else
        name += QStringLiteral(".jpg");

    if (!FileExists(dir + name)) return dir + name;
    for (int n = 1; n <= kMaxJpegCopies; ++n) {
        QString candidate = name;
        candidate.replace(u'.', QStringLiteral("_%1.").arg(n, 3, 10, QChar(u'0')));
        if (!FileExists(dir + candidate)) return dir + candidate;
    }
    dialogs.titledMessage(parent, QStringLiteral(" UNABLE  TO  CREATE  NEW  FILE") + name,
                          QStringLiteral("There are too many Copies of this file  ") + name, MessageIcon::Error);
    return {};
}

bool BmpToJpeg(const QString& bmpPath, const QString& jpgPath, int quality, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    QImageReader reader(bmpPath, "bmp");
    const QImage image = reader.read();
    if (image.isNull()) return fail(FileFailure("Could not read ", bmpPath, reader.errorString()));

    // Encoded in memory, then written by the program's one file writer, which
    // refuses what must not be replaced and leaves the file whole or absent.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    if (!writer.write(image)) return fail(FileFailure("Could not save ", jpgPath, writer.errorString()));
    const std::string_view bytes(jpeg.constData(), static_cast<std::size_t>(jpeg.size()));
    if (const auto failed = WriteFileAtomically(LocalFilePath(jpgPath), bytes))
        return fail(QString::fromStdString(*failed));
    return true;
}

JpegSaveResult SaveFormAsJpeg(const QImage& picture, const QString& chosenPath, QWidget* parent, UserDialogs& dialogs) {
    JpegSaveResult result;
    QString folder;
    SplitPath(JpegPathFromChosen(chosenPath), folder, result.fileName);

    result.finalPath = UniqueJpegPath(folder, result.fileName, parent, dialogs);
    if (result.finalPath.isEmpty()) {
        result.refused = true;
        return result;
    }
    QString finalName;
    SplitPath(result.finalPath, result.folder, finalName);

    if (picture.isNull()) {
        result.error = FileFailure("Could not save ", result.finalPath,
                                   QStringLiteral("there is no picture of the chart to save"));
        return result;
    }
    // The temporary BMP lives in a private folder of its own, so it can never
    // replace a file of the user's, and goes away with that folder.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        result.error = FileFailure("Could not save ", result.finalPath, scratch.errorString());
        return result;
    }
    const QString bmpPath = scratch.filePath(QStringLiteral("chart.bmp"));
    QImageWriter bmp(bmpPath, "bmp");
    if (!bmp.write(picture)) {
        result.error = FileFailure("Could not save ", result.finalPath, bmp.errorString());
        return result;
    }
    result.written = BmpToJpeg(bmpPath, result.finalPath, kJpegQuality, &result.error);
    return result;
}

}  // namespace qv
