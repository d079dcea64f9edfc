#include "convert/bmpconverter.h"

#include "convert/bmpfile.h"
#include "convert/core/jpegscan.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_picture = QImage();
        return failure(file.errorString());
    }
    // A JPEG is read whole first: its end is checked before decoding. Other
    // pictures are decoded straight from the file.
    const QByteArray head = file.peek(3);
    const bool jpeg = looksLikeJpeg(
        std::span(reinterpret_cast<const std::byte *>(head.constData()), std::size_t(head.size())));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageReader reader;
    if (jpeg) {
        bytes = file.readAll();
        const std::span<const std::byte> data(
            reinterpret_cast<const std::byte *>(bytes.constData()), std::size_t(bytes.size()));
        if (!jpegReachesEnd(data)) {
            m_picture = QImage();
            return Failure{"le fichier JPEG est incomplet (tronqué)"};
        }
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
    } else {
        reader.setDevice(&file);
    }
    const QByteArray format = reader.format();
    QString warning;
    bool ok = false;
    if (jpeg) {
        const JpegWarningCatcher catcher;
        ok = reader.read(&m_picture);
        warning = catcher.warning();
    } else {
        ok = reader.read(&m_picture);
    }
    if (!ok) {
        m_picture = QImage();
        return failure(reader.errorString());
    }
    if (!warning.isEmpty()) {
        m_picture = QImage();
        return failure(QStringLiteral("le fichier JPEG est endommagé (%1)").arg(warning.trimmed()));
    }
    // Only a GIF can have few colours without a palette of its own.
    prepareForBmp(m_picture, format == "gif");
    return Result<>::success();
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
