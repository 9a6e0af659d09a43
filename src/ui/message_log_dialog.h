// "Option" > "Received Messages": the messages the phone listed in this run, newest last, each with the time
// it was read, its sender, its decoded text and the phone's index. Every listed message is deleted from the
// phone once read; this is where the technician can still see each one.
#pragma once

#include <QDialog>
#include <QTableWidget>

#include "link/message_log.h"

namespace hx350::ui {

class MessageLogDialog : public QDialog {
  public:
    /// A view of `log`, refreshed whenever a message is added while it exists. `log` must outlive it.
    explicit MessageLogDialog(MessageLog& log, QWidget* parent = nullptr);
    ~MessageLogDialog() override;

    /// The table: columns "Time", "Sender", "Text", "Index"; one row per kept message, oldest first.
    QTableWidget* table() const { return table_; }

    /// Rebuilds the rows from the log.
    void refresh();

  private:
    MessageLog& log_;
    QTableWidget* table_;
};

}  // namespace hx350::ui
