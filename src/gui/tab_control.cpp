#include "gui/tab_control.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace pv {
namespace {

// Tabs exactly as high as the room the layout leaves for the header.
class FixedHeightTabBar final : public QTabBar {
  public:
    FixedHeightTabBar(int height, QWidget* parent) : QTabBar(parent), height_(height) {}

  protected:
    QSize tabSizeHint(int index) const override {
        return {QTabBar::tabSizeHint(index).width(), height_};
    }
    QSize minimumTabSizeHint(int index) const override {
        return {QTabBar::minimumTabSizeHint(index).width(), height_};
    }

  private:
    int height_;
};

}  // namespace

TabControl::TabControl(const QStringList& captions, bool headerAtBottom, int headerHeight,
                       QWidget* parent)
    : QWidget(parent),
      bar_(new FixedHeightTabBar(headerHeight, this)),
      stack_(new QStackedWidget(this)),
      bottom_(headerAtBottom),
      headerHeight_(headerHeight) {
    bar_->setShape(bottom_ ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setElideMode(Qt::ElideNone);
    bar_->setUsesScrollButtons(true);
    for (const QString& caption : captions) {
        bar_->addTab(caption);
        stack_->addWidget(new QWidget(stack_));
    }
    connect(bar_, &QTabBar::currentChanged, stack_, &QStackedWidget::setCurrentIndex);
    bar_->raise();
}

QRect TabControl::pageRect() const {
    return bottom_ ? QRect(0, 0, width(), height() - headerHeight_)
                   : QRect(0, headerHeight_, width(), height() - headerHeight_);
}

void TabControl::resizeEvent(QResizeEvent*) {
    relayout();
}

void TabControl::relayout() {
    stack_->setGeometry(pageRect());
    bar_->setGeometry(0, bottom_ ? height() - headerHeight_ : 0, width(), headerHeight_);
}

void TabControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = pageRect();
    frame.shape = bar_->shape();
    frame.tabBarSize = bar_->sizeHint();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace pv
