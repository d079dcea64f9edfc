#pragma once

#include "convert/conversion.h"

#include <QImage>

namespace velumbra {

/// The picture side of the conversions: decodes a file by its content into the
/// one picture it holds (the main window's Picture1) and writes that picture
/// as a BMP file without ever leaving a half-written one behind.
class BmpConverter final : public PictureCodec
{
public:
    BmpConverter();

    bool decode(const QString &path, QString *error) override;
    bool writeBmp(const QString &path, QString *error) override;

    /// The last picture decoded, as it was written.
    [[nodiscard]] const QImage &picture() const { return m_picture; }

private:
    bool replaceFile(const QString &path, QString *error);
    bool writeNewFile(const QString &path, QString *error);

    QImage m_picture;
};

} // namespace velumbra
