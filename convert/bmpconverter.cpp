// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/bmpconverter.h"

#include "convert/bmpfile.h"
#include "convert/core/picturescan.h"
#include "platform/pictureopening.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <optional>
#include <span>

namespace velumbra {
namespace {

// Camera pictures above 33 megapixels exceed Qt's default limit of 128 MB.
constexpr int kAllocationLimitMb = 512;

// libjpeg reports corrupt data only as warnings, which Qt passes to the
// message log while it hands back a picture with a grey bottom. They are
// caught for the length of one read on this thread.
class JpegWarningCatcher
{
public:
    JpegWarningCatcher()
    {
        s_active = this;
        m_previous = qInstallMessageHandler(&JpegWarningCatcher::handle);
    }
    ~JpegWarningCatcher()
    {
        qInstallMessageHandler(m_previous);
        s_active = nullptr;
    }
    JpegWarningCatcher(const JpegWarningCatcher &) = delete;
    JpegWarningCatcher &operator=(const JpegWarningCatcher &) = delete;

    [[nodiscard]] const QString &warning() const { return m_warning; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        JpegWarningCatcher *self = s_active;
        if (self && type == QtWarningMsg && QThread::currentThread() == self->m_thread &&
            isLibjpegWarning(text)) {
            if (self->m_warning.isEmpty())
                self->m_warning = text;
            return;
        }
        if (self && self->m_previous)
            self->m_previous(type, context, text);
    }
    static bool isLibjpegWarning(const QString &text)
    {
        // Stray bytes between segments cost no pixel; before a restart or the
        // end marker they are what is left of damaged data.
        static const QString stray = QStringLiteral("extraneous bytes before marker 0x");
        if (const qsizetype at = text.indexOf(stray); at >= 0) {
            const int marker = text.mid(at + stray.size(), 2).toInt(nullptr, 16);
            return marker >= 0xD0 && marker <= 0xD9;
        }
        return text.startsWith(QLatin1String("Corrupt JPEG data")) ||
               text.startsWith(QLatin1String("Premature end of JPEG file")) ||
               text.startsWith(QLatin1String("Invalid SOS parameters")) ||
               text.contains(QLatin1String("JPEG datastream contains no image"));
    }

    static inline JpegWarningCatcher *s_active = nullptr;
    QtMessageHandler m_previous = nullptr;
    QThread *m_thread = QThread::currentThread();
    QString m_warning;
};

std::optional<ScannedFormat> scannedFormat(const QByteArray &format)
{
    if (format == "jpeg")
        return ScannedFormat::Jpeg;
    if (format == "gif")
        return ScannedFormat::Gif;
    if (format == "bmp")
        return ScannedFormat::Bmp;
    return std::nullopt;
}

Failure failure(const QString &reason)
{
    return Failure{reason.toStdString()};
}

} // namespace

BmpConverter::BmpConverter()
{
    if (QImageReader::allocationLimit() != 0 &&
        QImageReader::allocationLimit() < kAllocationLimitMb)
        QImageReader::setAllocationLimit(kAllocationLimitMb);
}

Result<> BmpConverter::decode(const QString &path)
{
    // What a failure leaves is never written as the next copy.
    Result<> decoded = decodeInto(path);
    if (!decoded)
        m_picture = QImage();
    return decoded;
}

Result<> BmpConverter::decodeInto(const QString &path)
{
    QFile file;
    if (Result<> opened = openPlainFile(file, path); !opened)
        return opened;
    const QByteArray format = QImageReader::imageFormat(&file);
    // The decoders of these formats hand back a cut file's picture with its
    // missing part blank: the file is first read through, a piece at a
    // time, to its end.
    if (const std::optional<ScannedFormat> scanned = scannedFormat(format)) {
        const ReadBytes read = [&file](std::span<std::byte> buffer) {
            return std::size_t(std::max<qint64>(
                0, file.read(reinterpret_cast<char *>(buffer.data()), qint64(buffer.size()))));
        };
        if (!reachesEnd(*scanned, read))
            return failure(QStringLiteral("le fichier %1 est incomplet (tronqué)")
                               .arg(QString::fromLatin1(format.toUpper())));
        if (!file.seek(0))
            return failure(file.errorString());
    }
    QImageReader reader(&file, format);
    // A photo of the same size is decoded into the memory the last one used:
    // fresh memory costs a page fault per page, which for a large photo takes
    // longer than writing its copy. Only JPEG: its decoder writes every pixel,
    // where a GIF's first frame may leave the last picture showing through.
    // Any other size lets the last one go first, so that no more than one
    // picture is ever held.
    if (format != "jpeg" || reader.size() != m_picture.size())
        m_picture = QImage();
    QString warning;
    bool ok = false;
    if (format == "jpeg") {
        const JpegWarningCatcher catcher;
        ok = reader.read(&m_picture);
        warning = catcher.warning();
    } else {
        ok = reader.read(&m_picture);
    }
    if (!ok)
        return failure(reader.errorString());
    if (!warning.isEmpty())
        return failure(QStringLiteral("le fichier JPEG est endommagé (%1)").arg(warning.trimmed()));
    // Only a GIF can have few colours without a palette of its own.
    prepareForBmp(m_picture, format == "gif");
    return Result<>::success();
}

std::unique_ptr<PictureCodec> BmpConverter::partner()
{
    return std::make_unique<BmpConverter>();
}

Result<> BmpConverter::writeBmp(const QString &path)
{
    if (m_picture.isNull())
        return Failure{"aucune image n'est chargée"};
    // Every copy goes to a temporary file beside the target and takes the
    // target's name only once complete, so a failure or a crash never leaves
    // a truncated BMP. A copy that replaces a file, the source itself for a
    // BMP converted onto itself, is also forced to the disk first, so that
    // not even a power cut loses both. A new copy is not: losing it loses
    // nothing the source does not still hold, and the flush would cost more
    // than the conversion itself.
    if (QFileInfo::exists(path))
        return replaceFile(path);
    return writeNewFile(path);
}

Result<> BmpConverter::replaceFile(const QString &path)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return failure(out.errorString());
    if (Result<> written = velumbra::writeBmp(m_picture, out); !written) {
        out.cancelWriting();
        return written;
    }
    if (!out.commit())
        return failure(out.errorString());
    return Result<>::success();
}

Result<> BmpConverter::writeNewFile(const QString &path)
{
    const QFileInfo target(path);
    QTemporaryFile out(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                       QStringLiteral(".XXXXXX"));
    if (!out.open())
        return failure(out.errorString());
    if (Result<> written = velumbra::writeBmp(m_picture, out); !written)
        return written;
    if (!out.flush())
        return failure(out.errorString());
    // Never replaces a file: one that appeared meanwhile makes this fail.
    if (!out.rename(path))
        return failure(out.errorString());
    out.setAutoRemove(false);
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return Result<>::success();
}

} // namespace velumbra
