#include "training/ui/feedback_sounds.hpp"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "common/paths.hpp"
#include "config/data_folders.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

constexpr const char* kNoAudioMessage =
    "No audio output found: training feedback is shown, not heard";

}  // namespace

FeedbackSounds::FeedbackSounds(Session& session, QObject* parent)
    : QObject(parent), session_(session) {}

FeedbackSounds::~FeedbackSounds() = default;

QString FeedbackSounds::SoundFilePath(const std::string& configured) {
  const QString path = QString::fromStdString(configured);
  if (configured.empty() || QFileInfo(path).isFile()) return path;
  const QString installed = QString::fromStdString(
      JoinPath(DataTemplateFolder(), QFileInfo(path).fileName().toStdString()));
  return QFileInfo(installed).isFile() ? installed : path;
}

bool FeedbackSounds::AudioAvailable() {
  if (!audioChecked_) {
    audioChecked_ = true;
    audio_ = !QMediaDevices::audioOutputs().isEmpty();
    if (!audio_) session_.status.AddStatusMessage(kNoAudioMessage);
  }
  return audio_;
}

QSoundEffect* FeedbackSounds::Loaded(Effect& slot, const std::string& configured) {
  if (!AudioAvailable()) return nullptr;
  const QString path = SoundFilePath(configured);
  if (slot.effect == nullptr) slot.effect = new QSoundEffect(this);
  if (slot.path != path) {
    slot.path = path;
    slot.effect->setSource(QUrl::fromLocalFile(path));
  }
  return slot.effect;
}

void FeedbackSounds::Preload() {
  if (!session_.settings.mmavailable) return;
  Loaded(over_, session_.settings.oversoundfile);
  Loaded(under_, session_.settings.undersoundfile);
}

void FeedbackSounds::Play(FeedbackSound sound) {
  last_ = sound;
  ++requests_;
  QSoundEffect* effect = nullptr;
  switch (sound) {
    case FeedbackSound::Over:
      effect = Loaded(over_, session_.settings.oversoundfile);
      break;
    case FeedbackSound::Under:
      effect = Loaded(under_, session_.settings.undersoundfile);
      break;
    case FeedbackSound::Beep:
      AudioAvailable();
      QApplication::beep();
      return;
    case FeedbackSound::None:
      return;
  }
  // A file that cannot be played stays silent, as a player would.
  if (effect != nullptr) {
    effect->stop();
    effect->play();
  }
}

}  // namespace torvane
