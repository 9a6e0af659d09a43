#include "ui/site_files.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include "app/settings_compare.h"
#include "app/settings_file.h"
#include "app/settings_source.h"
#include "app/settings_text.h"
#include "ui/latin1.h"
#include "ui/main_window.h"

namespace hx350::ui {
namespace {

constexpr int kRecentCount = 8;
const QString kRecentKey = QStringLiteral("RecentSettings");
const QString kSettingsFilter = QStringLiteral("Settings files (*.cfg);;All files (*)");
const QString kTextFilter = QStringLiteral("Settings texts (*.txt);;All files (*)");

/// The user's preferences of the window, in the user's config folder (never in the settings record).
QSettings preferences() {
    return QSettings(QStringLiteral("hx350"), QStringLiteral("hx350"));
}

QAction* addNamed(QMenu* menu, const QString& caption, const QString& name) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(name);
    return action;
}

}  // namespace

SiteFiles::SiteFiles(MainWindow& window, TForm1& form) : QObject(&window), window_(window), form_(form) {
    setObjectName(QStringLiteral("SiteFiles"));
    path_ = QString::fromStdString(FormSeams{}.settings_path);

    if (auto* file = qobject_cast<QMenu*>(window.controlWidget("File1"))) {
        QAction* exit = file->actions().isEmpty() ? nullptr : file->actions().constFirst();
        for (QAction* a : file->actions()) {
            if (a->objectName() == QStringLiteral("Exit1")) exit = a;
        }
        QAction* open = addNamed(file, QStringLiteral("Open Settings..."), QStringLiteral("OpenSettings"));
        QAction* save_as =
            addNamed(file, QStringLiteral("Save Settings As..."), QStringLiteral("SaveSettingsAs"));
        recent_menu_ = new QMenu(QStringLiteral("Recent Settings"), file);
        recent_menu_->setObjectName(QStringLiteral("RecentSettings"));
        recent_menu_->setAccessibleName(QStringLiteral("Recent Settings"));
        recent_menu_->setAccessibleDescription(QStringLiteral("RecentSettings"));
        QAction* export_text =
            addNamed(file, QStringLiteral("Export as Text..."), QStringLiteral("ExportText"));
        QAction* import_text = addNamed(file, QStringLiteral("Import Text..."), QStringLiteral("ImportText"));
        file->insertActions(exit, {open, save_as});
        file->insertMenu(exit, recent_menu_);
        file->insertSeparator(exit);
        file->insertActions(exit, {export_text, import_text});
        file->insertSeparator(exit);

        connect(open, &QAction::triggered, this, [this] {
            const QString path = QFileDialog::getOpenFileName(&window_, QStringLiteral("Open Settings"),
                                                              QString(), kSettingsFilter);
            if (!path.isEmpty()) openSettings(path);
        });
        connect(save_as, &QAction::triggered, this, [this] {
            const QString path = QFileDialog::getSaveFileName(&window_, QStringLiteral("Save Settings As"),
                                                              path_, kSettingsFilter);
            if (!path.isEmpty()) saveSettingsAs(path);
        });
        connect(export_text, &QAction::triggered, this, [this] {
            const QString suggested = QFileInfo(path_).completeBaseName() + QStringLiteral(".txt");
            const QString path = QFileDialog::getSaveFileName(&window_, QStringLiteral("Export as Text"),
                                                              suggested, kTextFilter);
            if (!path.isEmpty()) exportText(path);
        });
        connect(import_text, &QAction::triggered, this, [this] {
            const QString path =
                QFileDialog::getOpenFileName(&window_, QStringLiteral("Import Text"), QString(), kTextFilter);
            if (!path.isEmpty()) importText(path);
        });
        connect(recent_menu_, &QMenu::aboutToShow, this, [this] { fillRecentMenu(); });
        fillRecentMenu();
    }

    field_ = new QLabel(&window);
    field_->setObjectName(QStringLiteral("SettingsFileState"));
    field_->setAccessibleDescription(QStringLiteral("SettingsFileState"));
    // A file name is anyone's choice: shown as it is, never as markup.
    field_->setTextFormat(Qt::PlainText);
    window.statusBar()->addPermanentWidget(field_);
    // A setting can change only through the user's keys, mouse or wheel; the check runs once after them.
    qApp->installEventFilter(this);
    refreshChanged();
}

SiteFiles* SiteFiles::of(const MainWindow& window) {
    // Only SiteFiles takes this name among the window's children.
    return static_cast<SiteFiles*>(
        window.findChild<QObject*>(QStringLiteral("SiteFiles"), Qt::FindDirectChildrenOnly));
}

SiteFiles::~SiteFiles() {
    qApp->removeEventFilter(this);
}

bool SiteFiles::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!check_pending_ &&
        (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease || type == QEvent::Wheel)) {
        check_pending_ = true;
        QTimer::singleShot(0, this, [this] { refreshChanged(); });
    }
    return QObject::eventFilter(watched, event);
}

void SiteFiles::refreshChanged() {
    check_pending_ = false;
    changed_ = !compareWithPages(form_, baseline_).empty();
    field_->setText(statusText());
    field_->setAccessibleName(statusText());
}

void SiteFiles::takeBaseline() {
    // What a save would write: the pages as the record holds them after a snapshot.
    baseline_ = form_.snapshotSettings();
    refreshChanged();
}

QString SiteFiles::statusText() const {
    QString text = QStringLiteral("Settings: %1").arg(QFileInfo(path_).fileName());
    if (changed_) text += QStringLiteral(" (changed)");
    return text;
}

bool SiteFiles::openSettings(const QString& path) {
    if (!form_.OpenSettingsFile(path.toStdString()).ok()) return false;
    path_ = path;
    rememberFile(path);
    takeBaseline();
    return true;
}

bool SiteFiles::saveSettingsAs(const QString& path) {
    if (!form_.SaveCFGFile(path.toStdString()).ok()) return false;
    path_ = path;
    baseline_ = form_.settings();  // the save's own snapshot
    rememberFile(path);
    refreshChanged();
    return true;
}

bool SiteFiles::exportText(const QString& path) {
    const std::string text = exportSettingsText(form_.snapshotSettings());
    SettingsFileOps ops;
    const SettingsFileStatus status = writeFileAtomically(
        path.toStdString(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), ops);
    if (!status.ok()) showProblem(fromCore(status.context));
    return status.ok();
}

bool SiteFiles::importText(const QString& path) {
    std::string content;
    if (const auto error = readWholeFile(path.toStdString(), content)) {
        showProblem(fromCore(error->describe()));
        return false;
    }
    if (!looksLikeSettingsText(content)) {
        showProblem(QStringLiteral("%1: not a settings text").arg(path));
        return false;
    }
    SettingsRecord record = form_.settings();
    if (const auto error = importSettingsText(content, record)) {
        showProblem(fromCore(SettingsSourceError{path.toStdString(), error, {}}.describe()));
        return false;
    }
    // The pages now hold the text's settings; the file they came from is unchanged, so they differ from it.
    form_.loadSettings(record);
    refreshChanged();
    return true;
}

QStringList SiteFiles::recent() const {
    return preferences().value(kRecentKey).toStringList();
}

void SiteFiles::rememberFile(const QString& path) {
    QStringList files = recent();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kRecentCount)
        files.removeLast();
    preferences().setValue(kRecentKey, files);
    fillRecentMenu();
}

void SiteFiles::fillRecentMenu() {
    if (recent_menu_ == nullptr) return;
    recent_menu_->clear();
    const QStringList files = recent();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        QAction* action = recent_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        action->setObjectName(QStringLiteral("RecentSettings%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, path] { openSettings(path); });
    }
    recent_menu_->setEnabled(!files.isEmpty());
}

void SiteFiles::showProblem(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok,
                                &window_);
    box->setObjectName(QStringLiteral("SiteFilesProblem"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace hx350::ui
