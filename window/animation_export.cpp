#include "window/animation_export.hpp"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/press.hpp"
#include "texts/user_texts.hpp"

namespace velmoran::window {

namespace {

QString italian(const char* words) { return QString::fromUtf8(words); }

// How often the window gets its events while frames are drawn.
constexpr qint64 kEventsEveryMs = 20;
// A writing shorter than this shows no progress dialog.
constexpr int kMomentMs = 400;

}  // namespace

std::optional<AnimationChoice> askAnimationChoice(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(italian(texts::kAnimationTitle));
    auto* growth = new QRadioButton(italian(texts::kAnimationGrowth), &dialog);
    auto* levels = new QRadioButton(italian(texts::kAnimationLevels), &dialog);
    growth->setObjectName(QStringLiteral("AnimationGrowth"));
    levels->setObjectName(QStringLiteral("AnimationLevels"));
    growth->setChecked(true);
    auto* seconds = new QSpinBox(&dialog);
    seconds->setObjectName(QStringLiteral("AnimationSeconds"));
    seconds->setRange(static_cast<int>(files::kMinGrowthSeconds), static_cast<int>(files::kMaxGrowthSeconds));
    seconds->setValue(static_cast<int>(files::kGrowthSeconds));
    auto* secondsLabel = new QLabel(italian(texts::kAnimationSeconds), &dialog);
    secondsLabel->setBuddy(seconds);
    QObject::connect(growth, &QRadioButton::toggled, seconds, &QWidget::setEnabled);
    QObject::connect(growth, &QRadioButton::toggled, secondsLabel, &QWidget::setEnabled);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(growth);
    auto* time = new QFormLayout;
    time->addRow(secondsLabel, seconds);
    layout->addLayout(time);
    layout->addWidget(levels);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return AnimationChoice{levels->isChecked() ? files::AnimationKind::Levels : files::AnimationKind::Growth,
                           static_cast<double>(seconds->value())};
}

QString askAnimationFileName(QWidget* parent, const QString& folder, const QString& name)
{
    QFileDialog dialog(parent, italian(texts::kAnimationTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList types{italian(texts::kGifFilter), italian(texts::kWebpFilter)};
    const QStringList suffixes{QStringLiteral("gif"), QStringLiteral("webp")};
    dialog.setNameFilters(types);
    dialog.setDefaultSuffix(suffixes[0]);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& type) {
        dialog.setDefaultSuffix(suffixes.value(types.indexOf(type), suffixes[0]));
    });
    dialog.setDirectory(folder);
    dialog.selectFile(name + QStringLiteral(".gif"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

AnimationExported writeAnimationWithProgress(QWidget& window, const PictureRequest& request,
                                             files::PictureFormat format, const QString& file, const bool& ending)
{
    QProgressDialog progress(italian(texts::kAnimationProgress), italian(texts::kCancelCaption), 0, 1, &window);
    progress.setWindowTitle(italian(texts::kAnimationTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kMomentMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const files::WriteOutcome outcome = writePicture(format, request, file, [&](int done, int total) {
        if (sinceEvents.elapsed() >= kEventsEveryMs) {
            progress.setMaximum(total);
            progress.setValue(done);
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return !progress.wasCanceled() && !ending;
    });
    if (outcome.status == files::WriteOutcome::Status::Written)
        return {file, {}};
    return {{}, QString::fromStdString(writeProblem(outcome, file))};
}

AnimationExported exportAnimation(QWidget& window, Figure figure, const std::string& text, double scale,
                                  const QString& folder, QString file, const bool& ending)
{
    const std::optional<AnimationChoice> choice = askAnimationChoice(&window);
    if (!choice || ending)
        return {};
    if (file.isEmpty()) {
        // The figure's word and count, as the picture's save proposes.
        QString name = QFileInfo(italian(texts::kGifFileName)).completeBaseName();
        try {
            name = QString::fromStdString(texts::figureFileName(figure, readCount(text)));
        } catch (const RuntimeError&) {
            // The press will say what is wrong with the count.
        }
        file = askAnimationFileName(&window, folder, name);
    }
    if (file.isEmpty() || ending)
        return {};
    // A name that is not an animation's becomes a GIF's.
    std::optional<files::PictureFormat> format = files::formatOfFileName(QFile::encodeName(file).toStdString());
    if (!format || !files::isAnimation(*format)) {
        file += QStringLiteral(".gif");
        format = files::PictureFormat::Gif;
    }
    const PictureRequest request{figure, text, scale, choice->kind, choice->seconds, {}};
    AnimationExported exported = writeAnimationWithProgress(window, request, *format, file, ending);
    return ending ? AnimationExported{} : exported;
}

}  // namespace velmoran::window
