// Site files in the window: File > "Open Settings...", "Save Settings As...", "Recent Settings" (the last
// eight, kept with QSettings in the user's config folder), "Export as Text...", "Import Text...", and a
// status-bar field naming the file the pages came from, with "(changed)" once a saved setting differs.
// Self-contained: the window creates one SiteFiles and nothing else changes; "Option > Save Setting" keeps
// writing HX350.cfg in the working folder.
#pragma once

#include <QLabel>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QStringList>

#include "app/form.h"
#include "app/settings_record.h"

namespace hx350::ui {

class MainWindow;

class SiteFiles : public QObject {
  public:
    /// Adds the items to the File menu of `window` (before "Exit") and the field to its status bar.
    SiteFiles(MainWindow& window, TForm1& form);
    ~SiteFiles() override;

    /// What the menu items do once a file is chosen. Each returns whether it succeeded; failures show a
    /// message (the start-up messages for a settings file, the file, line and key for a bad text).
    bool openSettings(const QString& path);
    bool saveSettingsAs(const QString& path);
    bool exportText(const QString& path);
    bool importText(const QString& path);

    /// The status-bar field: "Settings: site.cfg" or "Settings: site.cfg (changed)".
    QString statusText() const;
    /// The recent settings files, newest first.
    QStringList recent() const;
    /// Compares the pages with the file the pages came from and updates the field.
    void refreshChanged();
    /// Takes what the pages hold now as the file's settings ("(changed)" goes). Call it after start-up
    /// (FormCreate) has filled the pages; opening and saving call it themselves.
    void takeBaseline();
    /// The site files of `window`.
    static SiteFiles* of(const MainWindow& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void rememberFile(const QString& path);
    void fillRecentMenu();
    void showProblem(const QString& text);

    MainWindow& window_;
    TForm1& form_;
    QLabel* field_ = nullptr;
    QMenu* recent_menu_ = nullptr;
    QString path_;
    SettingsRecord baseline_;  ///< what a save of the pages wrote or would have written when they were loaded
    bool changed_ = false;
    bool check_pending_ = false;
};

}  // namespace hx350::ui
