// A tab control whose children are placed relative to the whole control, header included, as the
// layout table gives them. The header goes where the children leave room for it: above them, or
// below them when they start at the very top.
#pragma once

#include <QStackedWidget>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace pv {

class TabControl final : public QWidget {
    Q_OBJECT

  public:
    TabControl(const QStringList& captions, bool headerAtBottom, int headerHeight,
               QWidget* parent = nullptr);

    int count() const { return stack_->count(); }
    QWidget* page(int index) const { return stack_->widget(index); }
    int currentIndex() const { return stack_->currentIndex(); }
    void setCurrentIndex(int index) { bar_->setCurrentIndex(index); }
    QTabBar* tabBar() const { return bar_; }
    bool headerAtBottom() const { return bottom_; }
    int headerHeight() const { return headerHeight_; }
    // Distance from the control's top to the top of its pages.
    int contentTop() const { return bottom_ ? 0 : headerHeight_; }
    // Places header and pages for the current size; a hidden control gets no resize event
    // until it is first shown.
    void relayout();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect pageRect() const;

    QTabBar* bar_;
    QStackedWidget* stack_;
    bool bottom_;
    int headerHeight_;
};

}  // namespace pv
