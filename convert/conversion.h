#pragma once

#include "platform/result.h"

#include <QString>

#include <functional>

class QWidget;

namespace velumbra {

class Prompter;

/// Decodes one picture at a time and writes it as a BMP file.
class PictureCodec
{
public:
    virtual ~PictureCodec() = default;
    /// Replaces the held picture with the file's.
    [[nodiscard]] virtual Result<> decode(const QString &path) = 0;
    /// Writes the held picture to @p path as a BMP file, replacing any file of that name.
    [[nodiscard]] virtual Result<> writeBmp(const QString &path) = 0;
};

/// What a conversion works on and reports to: the main window's lists,
/// caption and current file, handed in so the loop runs without widgets.
struct ConversionSteps
{
    QString folder;
    QChar separator = QLatin1Char('/');
    std::function<int()> count;
    std::function<QString(int)> entry;
    std::function<bool(int)> isSelected;
    std::function<void(const QString &)> setCaption;
    std::function<void(const QString &)> setFichierPapierPeint;
};

/// What the window's caption shows before the full name of the file in hand,
/// while a conversion or a rotation goes through a folder.
inline constexpr char kCaptionPrefix[] = "°VLB°  Papier peint : ";

enum class ConversionScope { WholeFolder, SelectedFiles };
enum class ConversionOutcome { Declined, Finished, Stopped };

/// Converts the listed (or the selected) files of the folder to BMP copies
/// beside them, one after the other, and stops at the first that fails.
class BmpConversion
{
public:
    BmpConversion(PictureCodec &codec, Prompter &prompter, QWidget *parent = nullptr);

    ConversionOutcome run(ConversionScope scope, const ConversionSteps &steps);

    static QString title();
    static QString question(ConversionScope scope, const QString &folder);

private:
    void reportFailure(const QString &text);

    PictureCodec &m_codec;
    Prompter &m_prompter;
    QWidget *m_parent;
};

} // namespace velumbra
