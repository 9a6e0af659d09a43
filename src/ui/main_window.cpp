#include "ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "link/device_link.h"
#include "ui/compare_dialog.h"
#include "ui/latin1.h"
#include "ui/page_kit.h"
#include "ui/site_files.h"

namespace hx350::ui {

namespace {

using PageBuilder = QWidget* (*)(PageKit&);
constexpr std::array<PageBuilder, kPageCount> kPageBuilders{
    buildMainPage,    buildAbonentsPage,    buildExternalSmsPage, buildIntExtSmsPage, buildIONamePage,
    buildAnalogPage,  buildTemperaturePage, buildSmsShedulePage,  buildIOControlPage, buildOtherPage,
    buildGprsFtpPage, buildSerialPortPage,  buildRunTimePage};

constexpr int kWidth = 882;
constexpr int kHeight = 704;

QString pictureName(int index, std::string_view caption) {
    QString slug;
    for (const char c : caption) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            slug += QChar::fromLatin1(c).toLower();
        } else if (!slug.endsWith(QLatin1Char('-'))) {
            slug += QLatin1Char('-');
        }
    }
    while (slug.endsWith(QLatin1Char('-')))
        slug.chop(1);
    return QStringLiteral("%1-%2.png").arg(index + 1, 2, 10, QLatin1Char('0')).arg(slug);
}

// A tab's page that builds its content just before it is first shown.
class LazyPage final : public QWidget {
  public:
    explicit LazyPage(std::function<void()> build) : build_(std::move(build)) {}

  protected:
    bool event(QEvent* event) override {
        if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::Show) && build_) {
            const auto build = std::move(build_);
            build_ = nullptr;
            build();
        }
        return QWidget::event(event);
    }

  private:
    std::function<void()> build_;
};

// The widgets of `layout` in reading order: a grid row by row, each row left to right; any other layout
// in its own order; a widget's own layout (a group box's) right where the widget stands.
void collectInReadingOrder(QLayout* layout, QList<QWidget*>& out) {
    struct Cell {
        int row;
        int column;
        QLayoutItem* item;
    };
    std::vector<Cell> cells;
    auto* grid = qobject_cast<QGridLayout*>(layout);
    for (int i = 0; i < layout->count(); ++i) {
        int row = i;
        int column = 0;
        if (grid != nullptr) {
            int row_span = 0;
            int column_span = 0;
            grid->getItemPosition(i, &row, &column, &row_span, &column_span);
        }
        cells.push_back({row, column, layout->itemAt(i)});
    }
    std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    for (const Cell& cell : cells) {
        if (QWidget* widget = cell.item->widget()) {
            if ((widget->focusPolicy() & Qt::TabFocus) != 0) out.push_back(widget);
            if (widget->layout() != nullptr) collectInReadingOrder(widget->layout(), out);
        } else if (QLayout* inner = cell.item->layout()) {
            collectInReadingOrder(inner, out);
        }
    }
}

// Tab moves through a page in the order a technician reads it, not in the order the code made the
// widgets.
void orderTabStops(QWidget* page) {
    if (page->layout() == nullptr) return;
    QList<QWidget*> order;
    collectInReadingOrder(page->layout(), order);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace

void applyApplicationLook() {
    QApplication::setApplicationName(QStringLiteral("KALDEROMIX"));
    QApplication::setApplicationDisplayName(QStringLiteral("KALDEROMIX"));
    QApplication::setApplicationVersion(QStringLiteral(HX350_VERSION));
    // Matches the installed desktop entry, so the desktop groups the window under the menu entry's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.hx350.ServiceTool"));
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

MainWindow::MainWindow(TForm1& form, QWidget* parent)
    : QMainWindow(parent), form_(form), binder_(new ControlBinder(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(fromCore(TForm1::kCaption));
    setAccessibleDescription(QStringLiteral("Form1"));
    buildFrame();
    resize(kWidth, kHeight);
}

MainWindow::~MainWindow() {
    // The binder detaches from the form before the widgets go.
    form_.setCloseHandler({});
    delete binder_;
    binder_ = nullptr;
}

void MainWindow::buildFrame() {
    const ControlRegistry& registry = form_.registry();
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->setSpacing(4);

    tabs_ = new QTabWidget;
    // Thirteen captions side by side within the window's width: tabs with a little less padding. The style
    // sheet goes on the tab bar alone: on the tab widget it would put every control of every page under
    // the style-sheet style, which polishes each widget the slow way and made start-up several times
    // slower than a plain window's.
    tabs_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 6px; }"));
    tabs_->setUsesScrollButtons(false);
    // The pages are built when first shown: most sessions visit a few of the thirteen, and building
    // all of them (700 widgets) before the first paint doubled the time to a usable window. Each tab
    // holds an empty page that fills itself as it is about to be shown, whether a tab click, a key or
    // code (the page control set from the form, with the tab widget's signals blocked) shows it.
    for (int i = 0; i < kPageCount; ++i) {
        auto* holder = new LazyPage([this, i] { buildPage(i); });
        auto* holder_layout = new QVBoxLayout(holder);
        holder_layout->setContentsMargins(0, 0, 0, 0);
        holder->setObjectName(fromCore(kPageNames[static_cast<std::size_t>(i)]));
        holder->setAccessibleName(fromCore(kPageCaptions[static_cast<std::size_t>(i)]));
        holders_[static_cast<std::size_t>(i)] = holder;
        tabs_->addTab(holder, fromCore(kPageCaptions[static_cast<std::size_t>(i)]));
    }
    binder_->bindPageControl(*registry.find("PageControl1"), tabs_);
    // Ctrl+PgDown and Ctrl+PgUp turn the pages from anywhere in the window, as in other tabbed windows.
    const auto turnPage = [this](int step) {
        const int count = tabs_->count();
        tabs_->setCurrentIndex((tabs_->currentIndex() + step + count) % count);
    };
    auto* next_page = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), this);
    connect(next_page, &QShortcut::activated, this, [turnPage] { turnPage(1); });
    auto* previous_page = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), this);
    connect(previous_page, &QShortcut::activated, this, [turnPage] { turnPage(-1); });
    buildPage(tabs_->currentIndex());
    layout->addWidget(tabs_, 1);

    // Under the pages: the log memo and the received answers on the left, the state and the frame's
    // buttons on the right.
    auto* bottom = new QHBoxLayout;
    auto* memos = new QVBoxLayout;
    memos->setSpacing(2);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (auto* log = qobject_cast<QPlainTextEdit*>(binder_->widgetFor(*registry.find("MemoS")))) {
        log->setFont(fixed);
        // One line high: the first line must stay in view. Scrolled to its last line (after a released
        // PDU that is an empty one), pushed down by a horizontal scroll bar under a long PDU, or with the
        // document's margins taller than the box, it showed nothing at all.
        log->setProperty(kKeepFirstLineProperty, true);
        log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        log->document()->setDocumentMargin(2);
        const int margins = 2 * static_cast<int>(log->document()->documentMargin()) + 2 * log->frameWidth();
        log->setFixedHeight(QFontMetrics(fixed).lineSpacing() + margins + 4);
        memos->addWidget(log);
    }
    if (auto* input = qobject_cast<QPlainTextEdit*>(binder_->widgetFor(*registry.find("MemoSMSinput")))) {
        // A tab stop, so that a long answer can be scrolled, selected (Shift+arrows, Ctrl+A) and copied
        // (Ctrl+C) without a mouse; still read-only.
        input->setFocusPolicy(Qt::StrongFocus);
        input->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        input->setTabChangesFocus(true);
        input->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        input->setFixedHeight(QFontMetrics(input->font()).lineSpacing() * 6 + 2 * input->frameWidth() + 8);
        memos->addWidget(input);
    }
    binder_->widgetFor(*registry.find("MemoR"));  // hidden in the design: no widget
    bottom->addLayout(memos, 1);

    auto* side = new QGridLayout;
    side->setVerticalSpacing(4);
    if (QWidget* status = binder_->widgetFor(*registry.find("Status"))) {
        status->setMinimumWidth(220);
        side->addWidget(status, 0, 0, 1, 2);
    }
    const std::array<std::pair<const char*, std::pair<int, int>>, 4> buttons{
        {{"TestBtn", {1, 0}}, {"ConnectBtn", {1, 1}}, {"ClearBtn", {2, 0}}, {"ExitBtn", {2, 1}}}};
    for (const auto& [name, cell] : buttons) {
        if (QWidget* button = binder_->widgetFor(*registry.find(name)))
            side->addWidget(button, cell.first, cell.second);
    }
    side->setRowStretch(3, 1);
    bottom->addLayout(side);
    layout->addLayout(bottom);
    setCentralWidget(central);

    // "Exit" (button and menu) leaves the program: the form's handler asks the window to close, which
    // ends the event loop; nothing is saved. The close waits for the handler's own return.
    form_.setCloseHandler([this] { closeSoon(); });
    binder_->bindMainMenu(*registry.find("MainMenu1"), menuBar());
    addReceivedMessagesCommand();
    addCompareWithFile(*this, form_);
    new SiteFiles(*this, form_);  // owned by the window

    // The link's messages (the SMS exchange) on the left, the port's state beside them.
    message_ = new QLabel;
    // A long message (a SETTX command with its text) is cut at the right rather than widening the window.
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(message_, 1);
    port_state_ = new QLabel;
    statusBar()->addWidget(port_state_, 1);
    statusBar()->setSizeGripEnabled(false);
    binder_->bindStatusBar(*registry.find("StatusBar1"), statusBar(), port_state_, message_);
}

void MainWindow::addReceivedMessagesCommand() {
    auto* option = qobject_cast<QMenu*>(binder_->find("Option1"));
    if (option == nullptr) return;
    const auto addRun = [&](const QString& caption, const QString& name, ModuleRunKind kind) {
        QAction* run = option->addAction(caption);
        run->setObjectName(name);
        connect(run, &QAction::triggered, this, [this, kind] { showModuleRun(kind); });
    };
    addRun(QStringLiteral("Write All to Module..."), QStringLiteral("WriteAll1"), ModuleRunKind::WriteAll);
    addRun(QStringLiteral("Read All from Module..."), QStringLiteral("ReadAll1"), ModuleRunKind::ReadAll);
    addRun(QStringLiteral("Verify Module..."), QStringLiteral("Verify1"), ModuleRunKind::Verify);
    QAction* action = option->addAction(QStringLiteral("Received Messages"));
    action->setObjectName(QStringLiteral("ReceivedMessages1"));
    connect(action, &QAction::triggered, this, [this] { showReceivedMessages(); });
}

void MainWindow::showModuleRun(ModuleRunKind kind) {
    const std::string refusal = ModuleRun::refusalFor(form_, kind);
    if (!refusal.empty()) {
        QMessageBox box(QMessageBox::Information, ModuleRunDialog::titleFor(kind), fromCore(refusal),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    delete module_run_;
    module_run_ = new ModuleRunDialog(form_, kind, this);
    module_run_->setOnVerified([this](const ModuleRun& run) { showVerification(run); });
    module_run_->setWindowModality(Qt::WindowModal);
    module_run_->show();
}

void MainWindow::showVerification(const ModuleRun& run) {
    // The pages held the module's values during the run; the status bar's "(changed)" follows them back.
    if (SiteFiles* files = SiteFiles::of(*this)) files->refreshChanged();
    if (!run.stopReason().empty()) return;  // the dialog says why it stopped; a part read proves little
    if (run.differences().empty()) {
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Verify Module"),
                                    QStringLiteral("No difference: the module holds every setting read as "
                                                   "the pages show it."),
                                    QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("VerifyNoDifference"));
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    auto* dialog = new CompareDialog(*this, QStringLiteral("Verify Module: settings that differ"),
                                     QStringLiteral("In the module"), run.differences());
    dialog->show();
}

void MainWindow::showReceivedMessages() {
    if (message_log_ == nullptr) {
        message_log_ = new MessageLogDialog(form_.link().messageLog(), this);
    } else {
        message_log_->refresh();
    }
    message_log_->show();
    message_log_->raise();
    message_log_->activateWindow();
}

void MainWindow::buildPage(int index) {
    if (index < 0 || index >= kPageCount || built_[static_cast<std::size_t>(index)]) return;
    built_[static_cast<std::size_t>(index)] = true;
    QWidget* holder = holders_[static_cast<std::size_t>(index)];
    PageKit kit(*binder_, form_, index);
    QWidget* page = kPageBuilders[static_cast<std::size_t>(index)](kit);
    page->setObjectName(holder->objectName() + QStringLiteral("Content"));
    holder->layout()->addWidget(page);
    orderTabStops(page);
    // A page built while its holder is already on screen shows its content at once, not one event-loop
    // turn later.
    if (holder->isVisible()) page->show();
}

void MainWindow::buildAllPages() {
    for (int i = 0; i < kPageCount; ++i)
        buildPage(i);
}

bool MainWindow::pageBuilt(int index) const {
    return index >= 0 && index < kPageCount && built_[static_cast<std::size_t>(index)];
}

void MainWindow::closeSoon() {
    QTimer::singleShot(0, this, [this] { close(); });
}

bool MainWindow::savePagePictures(const QString& dir, QString* error) {
    if (!QDir().mkpath(dir)) {
        if (error != nullptr) *error = QStringLiteral("cannot make the folder %1").arg(dir);
        return false;
    }
    const int before = form_.PageControl1.ActivePageIndex();
    bool ok = true;
    for (int i = 0; i < kPageCount && ok; ++i) {
        form_.PageControl1.SetActivePageIndex(i);
        QApplication::processEvents();
        const QString path = QDir(dir).filePath(pictureName(i, kPageCaptions[static_cast<std::size_t>(i)]));
        if (!grab().save(path, "PNG")) {
            if (error != nullptr) *error = QStringLiteral("cannot write %1").arg(path);
            ok = false;
        }
    }
    form_.PageControl1.SetActivePageIndex(before);
    return ok;
}

}  // namespace hx350::ui
