// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/conversion.h"

#include "convert/core/bmpname.h"
#include "platform/folders.h"

#include <future>
#include <vector>

namespace velumbra {
namespace {

// Above this, the next picture waits for the current one to be written: two
// pictures near the decoder's limit would double what a conversion can take.
constexpr std::size_t kLargestHeldAhead = std::size_t(128) << 20;

QString fullName(const ConversionSteps &steps, const QString &fileName)
{
    return QString::fromStdString(conversionFullName(
        steps.folder.toStdString(), char(steps.separator.toLatin1()), fileName.toStdString()));
}

bool hasForeignBytes(const QString &name)
{
    return holdsForeignBytes(std::u16string_view(reinterpret_cast<const char16_t *>(name.utf16()),
                                                 std::size_t(name.size())));
}

QString copyName(const QString &fileName)
{
    return QString::fromStdString(bmpCopyName(fileName.toStdString()));
}

} // namespace

BmpConversion::BmpConversion(PictureCodec &codec, BoundPrompter prompter)
    : m_codec(codec), m_prompter(prompter)
{
}

QString BmpConversion::title()
{
    return QStringLiteral("°VLB° Conversion de fichiers");
}

QString BmpConversion::question(ConversionScope scope, const QString &folder)
{
    const QString head =
        scope == ConversionScope::WholeFolder
            ? QStringLiteral("Voulez-vous convertir en .BMP le contenu du dossier «")
            : QStringLiteral(
                  "Voulez-vous convertir en .BMP les fichiers sélectionnés du dossier «");
    return head + folder + QStringLiteral("» ?");
}

ConversionOutcome BmpConversion::run(ConversionScope scope, const ConversionSteps &steps)
{
    if (m_prompter.ask(title(), question(scope, steps.folder), AnswerButtons::YesNo) != Answer::Yes)
        return ConversionOutcome::Declined;

    // Counted once: the copies written meanwhile are not converted in their turn.
    const int count = steps.count();
    std::vector<QString> names;
    for (int i = 0; i < count; ++i)
        if (scope == ConversionScope::WholeFolder || steps.isSelected(i))
            names.push_back(steps.entry(i));

    // Two codecs take turns: while one writes its picture, the other decodes
    // the next file, so at most two pictures are held at once.
    const std::unique_ptr<PictureCodec> partner = m_codec.partner();
    PictureCodec *const codecs[2] = {&m_codec, partner ? partner.get() : &m_codec};
    std::future<Result<>> ahead;
    for (std::size_t k = 0; k < names.size(); ++k) {
        PictureCodec &codec = *codecs[k % 2];
        const QString source = fullName(steps, names[k]);
        steps.reading(source);
        if (hasForeignBytes(names[k])) {
            reportFailure(QStringLiteral("Un fichier du dossier « %1 » ne peut pas être converti : "
                                         "son nom n'est pas un texte valide (UTF-8) ; "
                                         "renommez-le pour le convertir.")
                              .arg(steps.folder));
            return ConversionOutcome::Stopped;
        }
        const Result<> decoded = ahead.valid() ? ahead.get() : codec.decode(source);
        if (!decoded) {
            reportFailure(QStringLiteral("Le fichier « %1 » n'a pas pu être lu : %2.")
                              .arg(source, QString::fromStdString(decoded.reason())));
            return ConversionOutcome::Stopped;
        }
        const QString copy = fullName(steps, copyName(names[k]));
        // Not ahead when the next file is this copy: it must be read once written.
        if (partner && codec.heldBytes() <= kLargestHeldAhead && k + 1 < names.size() &&
            !hasForeignBytes(names[k + 1])) {
            const QString next = fullName(steps, names[k + 1]);
            if (next.compare(copy, Qt::CaseInsensitive) != 0)
                ahead = std::async(std::launch::async, [&other = *codecs[(k + 1) % 2], next] {
                    return other.decode(next);
                });
        }
        steps.writing(copy);
        if (const Result<> written = codec.writeBmp(copy); !written) {
            if (ahead.valid())
                ahead.wait(); // decoded for nothing: nothing is written after a failure
            reportFailure(QStringLiteral("La copie « %1 » n'a pas pu être écrite : %2.")
                              .arg(copy, QString::fromStdString(written.reason())));
            return ConversionOutcome::Stopped;
        }
    }
    m_prompter.tell(QStringLiteral("Velumbra"), QStringLiteral("Conversion terminée !"));
    return ConversionOutcome::Finished;
}

void BmpConversion::reportFailure(const QString &text)
{
    m_prompter.tell(title(), text + QStringLiteral("\nLa conversion s'arrête à ce fichier ; "
                                                   "les copies écrites avant lui restent."));
}

} // namespace velumbra
