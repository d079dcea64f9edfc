#include "convert/conversion.h"

#include "convert/core/bmpname.h"
#include "platform/folders.h"

namespace velumbra {
namespace {

QString fullName(const ConversionSteps &steps, const QString &fileName)
{
    return QString::fromStdString(conversionFullName(
        steps.folder.toStdString(), char(steps.separator.toLatin1()), fileName.toStdString()));
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
    for (int i = 0; i < count; ++i) {
        if (scope == ConversionScope::SelectedFiles && !steps.isSelected(i))
            continue;
        const QString name = steps.entry(i);
        const QString source = fullName(steps, name);
        steps.reading(source);
        // The copy's name could not be written back as the same bytes.
        if (holdsForeignBytes(std::u16string_view(reinterpret_cast<const char16_t *>(name.utf16()),
                                                  std::size_t(name.size())))) {
            reportFailure(QStringLiteral("Un fichier du dossier « %1 » ne peut pas être converti : "
                                         "son nom n'est pas un texte valide (UTF-8) ; "
                                         "renommez-le pour le convertir.")
                              .arg(steps.folder));
            return ConversionOutcome::Stopped;
        }

        if (const Result<> decoded = m_codec.decode(source); !decoded) {
            reportFailure(QStringLiteral("Le fichier « %1 » n'a pas pu être lu : %2.")
                              .arg(source, QString::fromStdString(decoded.reason())));
            return ConversionOutcome::Stopped;
        }
        const QString copy = fullName(steps, copyName(name));
        steps.writing(copy);
        if (const Result<> written = m_codec.writeBmp(copy); !written) {
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
