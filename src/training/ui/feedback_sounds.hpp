#pragma once
// The over and under sounds of training feedback: one sound effect per file,
// loaded once and loaded again when the configured file changes; the system
// beep when media playback is off. A machine without an audio output plays
// nothing and says so once in the status log: the visual feedback window is
// the cue there.

#include <QObject>
#include <QString>
#include <string>

#include "training/training_texts.hpp"

class QSoundEffect;

namespace torvane {

struct Session;

class FeedbackSounds : public QObject {
  Q_OBJECT

 public:
  explicit FeedbackSounds(Session& session, QObject* parent = nullptr);
  ~FeedbackSounds() override;

  // Loads both sound files now (before a set starts), so that the first
  // repetition is heard on time.
  void Preload();
  void Play(FeedbackSound sound);

  // The last sound asked for and how many were asked for (also when there
  // was nothing to play through).
  FeedbackSound LastRequested() const { return last_; }
  int Requests() const { return requests_; }
  bool AudioAvailable();

  // The file to play for a configured sound file: the file itself, else the
  // file of that name among the sample files installed with the program.
  static QString SoundFilePath(const std::string& configured);

 private:
  struct Effect {
    QSoundEffect* effect = nullptr;
    QString path;
  };
  QSoundEffect* Loaded(Effect& slot, const std::string& configured);

  Session& session_;
  bool audioChecked_ = false;
  bool audio_ = false;
  Effect over_;
  Effect under_;
  FeedbackSound last_ = FeedbackSound::None;
  int requests_ = 0;
};

}  // namespace torvane
