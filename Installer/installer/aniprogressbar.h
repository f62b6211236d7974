#pragma once

#include <QProgressBar>
#include <QPropertyAnimation>

class QLabel;

// A progress bar that glides to each new value and moves an indicator label
// along with the filled end.
class AniProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    explicit AniProgressBar(QWidget *parent = nullptr);
    ~AniProgressBar() override;

    // Hides QProgressBar::setValue: callers holding an AniProgressBar get the
    // animated move, while the animation writes the base value through the
    // "value" property.
    void setValue(int value);

private slots:
    void onValueChanged(int v);

private:
    int duration;
    QPropertyAnimation animation;
    QLabel *spacer;
    QLabel *indicator;
};
