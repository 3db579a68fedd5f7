#pragma once
// Plays a sound file through the desktop's audio output. Without an audio
// device it stays silent and does no harm; a file that cannot be played
// reports nothing.

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;

namespace torvane {

class SoundPlayer : public QObject {
  Q_OBJECT

 public:
  explicit SoundPlayer(QObject* parent = nullptr);
  ~SoundPlayer() override;

  // True when this machine has an audio output to play through.
  static bool AudioAvailable();
  // Plays the file from its start; false when nothing could be played.
  bool Play(const QString& path);

 private:
  // Created on first use: a media player costs a media pipeline.
  QMediaPlayer* player_ = nullptr;
  QAudioOutput* output_ = nullptr;
};

}  // namespace torvane
