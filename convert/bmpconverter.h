// SPDX-License-Identifier: GPL-3.0-or-later
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

    [[nodiscard]] Result<> decode(const QString &path) override;
    [[nodiscard]] Result<> writeBmp(const QString &path) override;
    [[nodiscard]] std::unique_ptr<PictureCodec> partner() override;
    [[nodiscard]] std::size_t heldBytes() const override
    {
        return std::size_t(m_picture.sizeInBytes());
    }

    /// The last picture decoded, as it was written.
    [[nodiscard]] const QImage &picture() const { return m_picture; }

private:
    [[nodiscard]] Result<> decodeInto(const QString &path);
    [[nodiscard]] Result<> replaceFile(const QString &path);
    [[nodiscard]] Result<> writeNewFile(const QString &path);

    QImage m_picture;
};

} // namespace velumbra
