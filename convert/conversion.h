// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompter.h"
#include "platform/result.h"

#include <QString>

#include <functional>
#include <memory>

namespace velumbra {

/// Decodes one picture at a time and writes it as a BMP file.
class PictureCodec
{
public:
    virtual ~PictureCodec() = default;
    /// Replaces the held picture with the file's.
    [[nodiscard]] virtual Result<> decode(const QString &path) = 0;
    /// Writes the held picture to @p path as a BMP file, replacing any file of that name.
    [[nodiscard]] virtual Result<> writeBmp(const QString &path) = 0;
    /// A second codec sharing nothing with this one, so that the next picture
    /// can be decoded on another thread while this one's is written; none
    /// where the codec cannot work on two threads.
    [[nodiscard]] virtual std::unique_ptr<PictureCodec> partner() { return nullptr; }
    /// What the held picture takes in memory, in bytes.
    [[nodiscard]] virtual std::size_t heldBytes() const { return 0; }
};

/// What a conversion works on, handed in so the loop runs without widgets,
/// and what it reports as it goes.
struct ConversionSteps
{
    QString folder;
    QChar separator = QLatin1Char('/');
    std::function<int()> count;
    std::function<QString(int)> entry;
    std::function<bool(int)> isSelected;
    /// The full name of the file about to be read.
    std::function<void(const QString &source)> reading;
    /// The full name of its copy, about to be written.
    std::function<void(const QString &copy)> writing;
};

enum class ConversionScope { WholeFolder, SelectedFiles };
enum class ConversionOutcome { Declined, Finished, Stopped };

/// Converts the listed (or the selected) files of the folder to BMP copies
/// beside them, one after the other, and stops at the first that fails. With
/// a codec that has a partner, the next file is decoded while a copy is
/// written; what the user sees keeps the one-after-the-other order.
class BmpConversion
{
public:
    BmpConversion(PictureCodec &codec, BoundPrompter prompter);

    ConversionOutcome run(ConversionScope scope, const ConversionSteps &steps);

    static QString title();
    static QString question(ConversionScope scope, const QString &folder);

private:
    void reportFailure(const QString &text);

    PictureCodec &m_codec;
    BoundPrompter m_prompter;
};

} // namespace velumbra
