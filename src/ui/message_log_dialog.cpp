#include "ui/message_log_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/latin1.h"
#include "ui/table_cell.h"

namespace hx350::ui {

namespace {

// A decoded text may hold line ends and other control characters: one row shows it on one line.
QString shownText(const std::string& text) {
    QString shown = fromCore(text);
    for (QChar& ch : shown) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) ch = QLatin1Char(' ');
    }
    return shown.trimmed();
}

}  // namespace

MessageLogDialog::MessageLogDialog(MessageLog& log, QWidget* parent)
    : QDialog(parent), log_(log), table_(new QTableWidget(0, 4, this)) {
    setObjectName(QStringLiteral("ReceivedMessagesDialog"));
    setWindowTitle(QStringLiteral("Received Messages"));
    setAccessibleName(windowTitle());
    setAccessibleDescription(objectName());
    table_->setObjectName(QStringLiteral("ReceivedMessagesTable"));
    table_->setAccessibleName(QStringLiteral("Received messages"));
    table_->setAccessibleDescription(table_->objectName());
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Time"), QStringLiteral("Sender"), QStringLiteral("Text"), QStringLiteral("Index")});
    table_->verticalHeader()->setVisible(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    if (QPushButton* close = buttons->button(QDialogButtonBox::Close)) {
        close->setObjectName(QStringLiteral("ReceivedMessagesClose"));
        close->setAccessibleName(close->text().remove(QLatin1Char('&')));
        close->setAccessibleDescription(close->objectName());
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(640, 360);
    log_.setOnAdd([this] { refresh(); });
    refresh();
}

MessageLogDialog::~MessageLogDialog() {
    log_.setOnAdd({});
}

void MessageLogDialog::refresh() {
    const auto& messages = log_.messages();
    table_->setRowCount(static_cast<int>(messages.size()));
    int row = 0;
    for (const ReceivedMessage& m : messages) {
        table_->setItem(row, 0, readOnlyCell(fromCore(formatLogTime(m.time))));
        table_->setItem(row, 1, readOnlyCell(fromCore(m.sender)));
        table_->setItem(row, 2, readOnlyCell(shownText(m.text)));
        table_->setItem(row, 3, readOnlyCell(m.index ? QString::number(*m.index) : QStringLiteral("-")));
        ++row;
    }
    table_->resizeColumnToContents(0);
    table_->resizeColumnToContents(1);
    table_->resizeColumnToContents(3);
    if (row > 0) table_->scrollToBottom();
}

}  // namespace hx350::ui
