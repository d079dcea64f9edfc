#include "bmpconverter.h"

#include "bmpfile.h"
#include "jpegscan.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QThread>

#include <span>

namespace velumbra {
namespace {

// Camera pictures of 30 megapixels and more exceed Qt's default of 128 MB.
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
        if (self && type == QtWarningMsg && QThread::currentThread() == self->m_thread
            && isLibjpegWarning(text)) {
            if (self->m_warning.isEmpty())
                self->m_warning = text;
            return;
        }
        if (self && self->m_previous)
            self->m_previous(type, context, text);
    }
    static bool isLibjpegWarning(const QString &text)
    {
        return text.startsWith(QLatin1String("Corrupt JPEG data"))
               || text.startsWith(QLatin1String("Premature end of JPEG file"))
               || text.startsWith(QLatin1String("Invalid SOS parameters"))
               || text.contains(QLatin1String("JPEG datastream contains no image"));
    }

    static inline JpegWarningCatcher *s_active = nullptr;
    QtMessageHandler m_previous = nullptr;
    QThread *m_thread = QThread::currentThread();
    QString m_warning;
};

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

BmpConverter::BmpConverter()
{
    if (QImageReader::allocationLimit() != 0 && QImageReader::allocationLimit() < kAllocationLimitMb)
        QImageReader::setAllocationLimit(kAllocationLimitMb);
}

bool BmpConverter::decode(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_picture = QImage();
        setError(error, file.errorString());
        return false;
    }
    // Mapped rather than read: the JPEG check and the decoder share the bytes.
    QByteArray bytes;
    const qint64 size = file.size();
    if (uchar *mapped = size > 0 ? file.map(0, size) : nullptr)
        bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(size));
    else
        bytes = file.readAll();
    const std::span<const std::byte> data(reinterpret_cast<const std::byte *>(bytes.constData()),
                                          std::size_t(bytes.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    const bool jpeg = format == "jpeg";
    if (jpeg && !jpegReachesEnd(data)) {
        m_picture = QImage();
        setError(error, QStringLiteral("le fichier JPEG est incomplet (tronqué)"));
        return false;
    }
    QString warning;
    bool ok = false;
    {
        const JpegWarningCatcher catcher;
        ok = reader.read(&m_picture);
        warning = catcher.warning();
    }
    if (!ok) {
        m_picture = QImage();
        setError(error, reader.errorString());
        return false;
    }
    if (jpeg && !warning.isEmpty()) {
        m_picture = QImage();
        setError(error, QStringLiteral("le fichier JPEG est endommagé (%1)").arg(warning.trimmed()));
        return false;
    }
    // Only a GIF can have few colours without a palette of its own.
    prepareForBmp(m_picture, format == "gif");
    return true;
}

bool BmpConverter::writeBmp(const QString &path, QString *error)
{
    if (m_picture.isNull()) {
        setError(error, QStringLiteral("aucune image n'est chargée"));
        return false;
    }
    // The copy goes to a temporary file beside the target and replaces it
    // only once complete and flushed to the disk: a failure or a crash never
    // leaves a truncated BMP, and a BMP converted onto itself is never lost.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        setError(error, out.errorString());
        return false;
    }
    if (!velumbra::writeBmp(m_picture, out, error)) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        setError(error, out.errorString());
        return false;
    }
    return true;
}

} // namespace velumbra
