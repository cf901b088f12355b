#pragma once
// Text that keeps to the width of its control. The screens are designed for a narrow
// font; the platform's font, a long date of the user's locale or a bold caption can be
// wider than the designed control, and a cut text reads wrongly ("7 Dec 202"). Such a
// text is shown in a smaller font, never smaller than a legible minimum.

#include <QLabel>

class QWidget;

// Gives the control the largest font, up to its normal one, in which text fits its width
// (less margin pixels on each side).
void fitFontToWidth(QWidget *control, const QString &text, int margin = 0);

// A label whose text keeps to its width as its text or its size changes (the resizing
// control scales it with the window).
class FitLabel : public QLabel {
  Q_OBJECT
public:
  explicit FitLabel(const QString &text = QString(), QWidget *parent = nullptr);
  void setFitText(const QString &text);

protected:
  void resizeEvent(QResizeEvent *event) override;
};
