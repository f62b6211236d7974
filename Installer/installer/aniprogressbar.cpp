#include "aniprogressbar.h"

#include <QHBoxLayout>
#include <QLabel>

AniProgressBar::AniProgressBar(QWidget *parent)
    : QProgressBar(parent), duration(800), spacer(new QLabel), indicator(new QLabel)
{
    setTextVisible(false);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    spacer->setFixedWidth(0);
    indicator->setObjectName("ProgressBarIndicator");
    layout->addWidget(spacer);
    layout->addWidget(indicator);
    layout->addStretch();

    animation.setTargetObject(this);
    animation.setPropertyName("value");
    animation.setEasingCurve(QEasingCurve::OutCubic);
    animation.setDuration(duration);

    connect(this, &QProgressBar::valueChanged, this, &AniProgressBar::onValueChanged);
}

AniProgressBar::~AniProgressBar() = default;

void AniProgressBar::setValue(int value)
{
    animation.setDuration(value != 0 ? duration : 0);
    if (animation.state() == QAbstractAnimation::Running)
        animation.stop();
    // No start value: each run glides on from wherever the bar is now.
    animation.setEndValue(value);
    animation.start(QAbstractAnimation::KeepWhenStopped);
}

void AniProgressBar::onValueChanged(int v)
{
    if (minimum() == 0 && maximum() == 0) {
        indicator->hide();
        return;
    }
    indicator->show();
    const double filled = maximum() != 0 ? double(v) / maximum() * width() : 0.0;
    const int offset = int(filled - indicator->width() / 2);
    spacer->setFixedWidth(qMax(0, offset));
}
