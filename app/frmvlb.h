// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/appcontext.h"
#include "app/frmvlb_ui.h"
#include "rotation/rotation.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

namespace velumbra {

class BmpConverter;
class TrayPresence;
class WindowRotationView;
class frmAbout;
enum class ConversionScope;

/// What the caption shows before the full name of the file in hand, while a
/// conversion or a rotation goes through a folder.
inline constexpr char kCaptionPrefix[] = "°VLB°  Papier peint : ";

/// The main window: browsing, preview, the choice of mode and interval. Its
/// controls come from FrmVLBUi, under the names the handlers use.
class FrmVLB : public QMainWindow, private FrmVLBUi
{
    Q_OBJECT
public:
    explicit FrmVLB(AppContext context, QWidget *parent = nullptr);
    ~FrmVLB() override;

    /// Restores the previous run's state and measures the screen; call once
    /// before the window is first shown. A step that fails is skipped.
    void load();

    /// Brings the window forward, shown again if it waits in the tray, and
    /// opens @p folderOrFile there when it is not empty: a folder in the
    /// lists, a file as the current file with its preview.
    void openAndShow(const QString &folderOrFile);

    /// Validates the interval box against the selected unit and computes
    /// IntervalleRotation.
    void TestIntervalle();

    /// Rebuilds the preview and the info line from FichierPapierPeint.
    void ChargeImage();

    /// Keeps the screen saver from starting until the user logs off.
    void DesactiveScreenSaver();

    [[nodiscard]] QString fichierPapierPeint() const { return FichierPapierPeint; }
    [[nodiscard]] std::optional<double> intervalleRotation() const { return IntervalleRotation; }
    [[nodiscard]] int largeurEcran() const { return LargeurEcran; }
    [[nodiscard]] int hauteurEcran() const { return HauteurEcran; }
    [[nodiscard]] bool clicDroit() const { return ClicDroit; }
    [[nodiscard]] const Rotation &rotation() const { return m_rotation; }

    /// The exit code the program ends with: 0, or 1 when the settings could not be saved.
    [[nodiscard]] int exitCode() const { return m_exitCode; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectControls();
    void onOption1Click(int index);
    void onOptUnitesClick(int index);
    void onDrive1Change(const QString &drive);
    void onDir1Change(const QString &path);
    void onFile1Click();
    void reportFolderProblem(const QString &message);
    void applyPattern();
    void applyPreset(const QString &pattern);
    void unload();
    void onMnuApropos();
    void onMnuAide();

    void okAction();
    void startRotation();
    void onCommand1Release(Qt::MouseButton button, bool overButton);
    void onTimer1Tick();
    void showCurrentFile(const QString &path);
    void convertToBmp(ConversionScope scope);

    AppContext m_ctx;
    int m_exitCode = 0;
    bool m_unloaded = false;
    bool m_inTick = false;
    bool m_loading = false;
    Rotation m_rotation;
    std::unique_ptr<WindowRotationView> m_rotationView;
    std::unique_ptr<TrayPresence> m_tray;
    QPointer<frmAbout> m_about; // ownerless, so not deleted with the window by Qt

    // Decodes and writes the conversions' pictures; it holds the last one
    // decoded, which is what Picture1 keeps.
    std::unique_ptr<BmpConverter> m_bmpConverter;

    // Window state shared by the handlers.
    QString FichierPapierPeint;
    int LargeurEcran = 0;
    int HauteurEcran = 0;
    std::optional<double> IntervalleRotation;
    bool ClicDroit = false;
    // ProchainChangement and DernierIndex live in m_rotation.
};

} // namespace velumbra
