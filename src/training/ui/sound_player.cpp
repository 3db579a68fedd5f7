#include "training/ui/sound_player.hpp"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace torvane {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;

bool SoundPlayer::AudioAvailable() {
  return !QMediaDevices::audioOutputs().isEmpty();
}

bool SoundPlayer::Play(const QString& path) {
  if (!QFileInfo(path).isFile() || !AudioAvailable()) return false;
  if (player_ == nullptr) {
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
  }
  player_->stop();
  player_->setSource(QUrl::fromLocalFile(path));
  player_->play();
  return true;
}

}  // namespace torvane
