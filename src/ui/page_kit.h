// Helpers for the page layouts: each page source asks the kit for the widgets of its controls by name and
// arranges them; the kit creates them through the binder, gives the small fields and the "WR" buttons
// compact sizes, and gathers anything a layout forgot so that no visible control goes missing.
#pragma once

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/form.h"
#include "ui/control_binder.h"

namespace hx350::ui {

class PageKit {
  public:
    /// A kit for page `page` (0..12) of `form`.
    PageKit(ControlBinder& binder, const TForm1& form, int page);

    const TForm1& form() const { return form_; }
    int page() const { return page_; }

    /// The widget of control `name`, created on first use; null for a control that is hidden (it gets no
    /// widget) and, with a warning, for an unknown name.
    QWidget* w(std::string_view name);
    /// `name` + `n` ("TXTSMS" 7 -> TXTSMS7).
    QWidget* w(std::string_view prefix, int n);

    /// The group `id` of this page (std::logic_error when there is none).
    const GroupInfo& group(std::string_view id) const;
    /// The fixed text `index` of group `id`, "" past the end.
    QString groupText(std::string_view id, std::size_t index) const;

    /// A box for group `id`: the Panel's own widget for a panel group, else a new titled QGroupBox. It
    /// holds a new compact grid (see grid()).
    QGroupBox* box(std::string_view id);
    /// The grid layout of a widget made by box() or page().
    static QGridLayout* grid(QWidget* box);

    /// A plain text label.
    static QLabel* text(const QString& text);
    /// A label with the human label of control `name` (its buddy), or null when the control is hidden.
    QLabel* labelOf(std::string_view name);

    /// Puts control `name` into `grid` at the cell; nothing when the control is hidden.
    void put(QGridLayout* grid, std::string_view name, int row, int column, int row_span = 1,
             int column_span = 1, Qt::Alignment alignment = {});
    /// Puts `label` + `name` as "label, control" into two cells of a row starting at `column`.
    void labelled(QGridLayout* grid, std::string_view name, int row, int column, int column_span = 1);

    /// The page's widget with a compact grid, and a box for controls the layout did not place.
    QWidget* finish(QWidget* page);

    /// Names of the controls the layout placed or asked for.
    const std::set<std::string>& used() const { return used_; }

  private:
    ControlBinder& binder_;
    const TForm1& form_;
    int page_;
    std::set<std::string> used_;
};

// One function per page, in tab order; each returns the page's widget.
QWidget* buildMainPage(PageKit& kit);
QWidget* buildAbonentsPage(PageKit& kit);
QWidget* buildExternalSmsPage(PageKit& kit);
QWidget* buildIntExtSmsPage(PageKit& kit);
QWidget* buildIONamePage(PageKit& kit);
QWidget* buildAnalogPage(PageKit& kit);
QWidget* buildTemperaturePage(PageKit& kit);
QWidget* buildSmsShedulePage(PageKit& kit);
QWidget* buildIOControlPage(PageKit& kit);
QWidget* buildOtherPage(PageKit& kit);
QWidget* buildGprsFtpPage(PageKit& kit);
QWidget* buildSerialPortPage(PageKit& kit);
QWidget* buildRunTimePage(PageKit& kit);

/// The event-text grid shared by "External SMS" and "Int/Ext SMS": a row per source and a column per
/// threshold state (the first five texts of the page's group "texts"), each cell an edit and its "WR"
/// button; then the digital inputs' events (texts six and seven); then the "Read" box `read_box` and the
/// group's remaining texts.
QWidget* buildEventTextGrid(PageKit& kit, std::string_view edit_prefix, std::string_view button_prefix,
                            std::string_view read_box);

/// One input's four threshold sliders as a block: a bold `title`, the scale texts over the slider column,
/// per level the level's caption (the slider's label after `title`), the slider and its read-only edit;
/// then the input's write button under the edits. Null when the input is hidden.
QWidget* buildLevelBlock(PageKit& kit, const QString& title, const QString& scale_low,
                         const QString& scale_high, const std::vector<std::string>& bars,
                         const std::vector<std::string>& edits, const std::string& button);

}  // namespace hx350::ui
