// Page "SMS Shedule": type, interval and hours of the scheduled SMS, and its recipients.
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QVBoxLayout>

#include "ui/page_kit.h"

namespace hx350::ui {

namespace {

/// Draws the numbers of the hour scale over the ticks of `slider`, in place of the scale label's own text
/// (which stays for screen readers, drawn transparent).
class HourScale : public QWidget {
  public:
    HourScale(QLabel* label, QSlider* slider) : QWidget(label), slider_(slider) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::transparent);
        label->setPalette(palette);
        label->setMinimumHeight(fontMetrics().height() + 2);
        label->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) setGeometry(static_cast<QWidget*>(watched)->rect());
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        QStyleOptionSlider option;
        option.initFrom(slider_);
        option.orientation = Qt::Horizontal;
        option.minimum = slider_->minimum();
        option.maximum = slider_->maximum();
        const QRect handle =
            slider_->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider_);
        const int span = slider_->width() - handle.width();
        for (int hour = slider_->minimum(); hour <= slider_->maximum(); ++hour) {
            const int x = handle.width() / 2 +
                          QStyle::sliderPositionFromValue(slider_->minimum(), slider_->maximum(), hour, span);
            const QString text = QString::number(hour);
            const int w = fontMetrics().horizontalAdvance(text);
            painter.drawText(QRect(x - w, 0, 2 * w, height()), Qt::AlignCenter, text);
        }
    }

  private:
    QSlider* slider_;
};

}  // namespace

QWidget* buildSmsShedulePage(PageKit& kit) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    QGroupBox* schedule = kit.box("page");
    QGridLayout* g = PageKit::grid(schedule);
    auto* choices = new QHBoxLayout;
    if (QWidget* type = kit.w("SMSShed")) choices->addWidget(type, 0, Qt::AlignTop);
    if (QWidget* timeout = kit.w("RadioGroup1")) choices->addWidget(timeout, 0, Qt::AlignTop);
    choices->addStretch(1);
    g->addLayout(choices, 0, 0, 1, 3);

    // The hour scale over the four sliders, its numbers over their ticks.
    constexpr int kSliderWidth = 560;
    kit.put(g, "HourLine", 1, 1);
    for (int k = 1; k <= 4; ++k) {
        if (QLabel* label = kit.labelOf("TrackBar" + std::to_string(k))) g->addWidget(label, 1 + k, 0);
        if (QWidget* bar = kit.w("TrackBar" + std::to_string(k))) {
            bar->setFixedWidth(kSliderWidth);
            if (auto* slider = qobject_cast<QSlider*>(bar)) slider->setTickInterval(1);
            g->addWidget(bar, 1 + k, 1);
        }
        kit.put(g, "CheckBoxS" + std::to_string(k), 1 + k, 2);
    }
    auto* scale = qobject_cast<QLabel*>(kit.w("HourLine"));
    auto* first = qobject_cast<QSlider*>(kit.w("TrackBar1"));
    if (scale != nullptr && first != nullptr) {
        scale->setFixedWidth(kSliderWidth);
        new HourScale(scale, first);
    }
    auto* buttons = new QHBoxLayout;
    if (QWidget* get = kit.w("GetShedule")) buttons->addWidget(get);
    if (QWidget* set = kit.w("SetShedule")) buttons->addWidget(set);
    buttons->addStretch(1);
    g->addLayout(buttons, 6, 1);
    g->setColumnStretch(3, 1);
    layout->addWidget(schedule);

    QGroupBox* numbers = kit.box("numbers");
    QGridLayout* n = PageKit::grid(numbers);
    n->addWidget(PageKit::text(kit.groupText("numbers", 0)), 0, 0, 1, 3);
    kit.put(n, "CheckBox2", 1, 0);
    kit.put(n, "CheckBox3", 1, 1);
    kit.put(n, "CheckBox4", 1, 2);
    kit.put(n, "Button28", 1, 3);
    n->setColumnStretch(4, 1);
    layout->addWidget(numbers);
    layout->addStretch(1);
    return kit.finish(page);
}

}  // namespace hx350::ui
