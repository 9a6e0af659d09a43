#include "ui/qt_window_services.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "ui/latin1.h"

namespace hx350::ui {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtWindowServices::~QtWindowServices() {
    if (override_active_ && QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
}

void QtWindowServices::showMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    QString shown = fromCore(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (unattended_) {
        std::fprintf(stderr, "hx350: [%s] %s\n", fromCore(caption).toLocal8Bit().constData(),
                     shown.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(qtIcon(icon), fromCore(caption), shown, QMessageBox::Ok, parent_.data());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtWindowServices::setCursor(CursorShape shape) {
    shape_ = shape;
    if (override_active_) {
        QApplication::restoreOverrideCursor();
        override_active_ = false;
    }
    if (shape == CursorShape::Hourglass) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        override_active_ = true;
    }
}

}  // namespace hx350::ui
