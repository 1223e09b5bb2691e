#include "VolumeDialog.h"

#include "settings/DialogLook.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace kestrum {

namespace {
constexpr int kTitleLine = 108, kEffectsLine = 109, kMusicLine = 110;

QSlider* makeSlider(QWidget* parent, const char* name)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(0, 100);
    slider->setSingleStep(5);
    slider->setPageStep(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(10);
    slider->setMinimumWidth(200);
    return slider;
}

QString percent(int value) { return QStringLiteral("%1 %").arg(value); }
}  // namespace

VolumeDialog::VolumeDialog(QWidget* parent, Services services)
    : QDialog(parent, dialogFlags()), services_(std::move(services))
{
    setObjectName(QStringLiteral("VolumeDialog"));
    setModal(true);
    effectsLabel = new QLabel(this);
    musicLabel = new QLabel(this);
    effectsSlider = makeSlider(this, "effectsSlider");
    musicSlider = makeSlider(this, "musicSlider");
    effectsValue = new QLabel(percent(100), this);
    musicValue = new QLabel(percent(100), this);
    for (QLabel* value : {effectsValue, musicValue}) {
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(percent(100)) + 4);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(effectsLabel, 0, 0);
    grid->addWidget(effectsSlider, 0, 1);
    grid->addWidget(effectsValue, 0, 2);
    grid->addWidget(musicLabel, 1, 0);
    grid->addWidget(musicSlider, 1, 1);
    grid->addWidget(musicValue, 1, 2);
    layOutWithOkCancel(this, grid, okButton, cancelButton);

    effectsHeard_.setSingleShot(true);
    effectsHeard_.setInterval(120);
    connect(&effectsHeard_, &QTimer::timeout, this,
            [this] { services_.effects(effectsSlider->value(), true); });
    connect(effectsSlider, &QSlider::valueChanged, this, [this](int value) {
        effectsValue->setText(percent(value));
        effectsHeard_.start();
    });
    connect(musicSlider, &QSlider::valueChanged, this, [this](int value) {
        musicValue->setText(percent(value));
        services_.music(value);
    });
    applyTexts();
}

void VolumeDialog::applyTexts()
{
    setWindowTitle(services_.text(kTitleLine));
    effectsLabel->setText(services_.text(kEffectsLine));
    musicLabel->setText(services_.text(kMusicLine));
}

std::optional<std::pair<int, int>> VolumeDialog::choose(int effects, int music)
{
    {
        const QSignalBlocker a(effectsSlider), b(musicSlider);
        effectsSlider->setValue(effects);
        musicSlider->setValue(music);
    }
    effectsValue->setText(percent(effects));
    musicValue->setText(percent(music));
    effectsSlider->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    effectsHeard_.stop();
    if (!ok) {
        services_.effects(effects, false);
        services_.music(music);
        return std::nullopt;
    }
    services_.effects(effectsSlider->value(), false);
    services_.music(musicSlider->value());
    return std::pair{effectsSlider->value(), musicSlider->value()};
}

}  // namespace kestrum
