// Saving a picture of the display form as a JPEG file: the file-name rules
// (cut at the first dot, numbered copies _001 to _999) and the BMP-to-JPEG
// conversion over Qt's image reader and writer.
#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace qv {

class UserDialogs;

// The largest number of numbered copies of one picture name.
inline constexpr int kMaxJpegCopies = 999;
// The JPEG quality the program writes, on Qt's scale 0..100.
inline constexpr int kJpegQuality = 100;

// A captured picture made opaque on the form's white background, ready for
// a format without transparency.
QImage OpaquePicture(const QPixmap& captured);

// Splits `path` at its last separator ("/"; on Windows also "\") into the
// folder before it and the file name after it. Without a separator both
// are left as they were.
void SplitPath(const QString& path, QString& folder, QString& fileName);

// The path cut at the first dot of its file-name part, with ".jpg" appended.
QString JpegPathFromChosen(const QString& chosen);

// "yyyyMMddhhmmsszzz" from the local clock (17 characters), or its first
// eight characters (the date alone) when `dateOnly` is set.
QString DateStampName(bool dateOnly);

// True when `path` names an existing regular file (not a folder).
bool FileExists(const QString& path);

// The folder normalised (program folder when empty, one trailing separator,
// no doubled separators) joined to a free name: the file itself, or the first
// free of file_001 .. file_999. When all exist, shows the "too many copies"
// message through `dialogs` and returns an empty text.
QString UniqueJpegPath(const QString& folder, const QString& fileName, QWidget* parent, UserDialogs& dialogs);

// Reads the BMP file `bmpPath` and writes it as the JPEG file `jpgPath` with
// `quality` (0..100), through WriteFileAtomically: the JPEG appears complete
// or not at all, and a folder, pipe, device or read-only file in its place is
// refused. On failure returns false and puts the message for the user, which
// names the file, in `error` (when given).
bool BmpToJpeg(const QString& bmpPath, const QString& jpgPath, int quality, QString* error = nullptr);

// What SaveFormAsJpeg did.
struct JpegSaveResult {
    bool written = false;  // the JPEG file exists now
    bool refused = false;  // no free name: the message has been shown
    QString fileName;      // file name after the cut (recorded in txtFile)
    QString folder;        // folder of the final path (recorded in txtFolder)
    QString finalPath;     // where the picture went (or was meant to go)
    QString error;         // the message, when neither written nor refused
};

// Saves `picture` under the name derived from `chosenPath`: cut at the first
// dot, a free numbered name, a temporary BMP converted to JPEG. The temporary
// BMP never remains; a write failure is returned, not shown.
JpegSaveResult SaveFormAsJpeg(const QImage& picture, const QString& chosenPath, QWidget* parent, UserDialogs& dialogs);

}  // namespace qv
