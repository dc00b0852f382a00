#pragma once
// Sound and music that play nothing and record what they were told. The
// game's sound interfaces come from the game library the test links.
#include <QString>
#include <QStringList>

#include "Audio.h"

namespace wf {

class SilentSound : public SoundOutput {
  public:
    QStringList played;
    void PlayWave(const QString& path) override { played.append(path); }
};

class SilentMusic : public MusicDevice {
  public:
    QStringList calls;  // "open <path>", "play", "stoprewind"
    int running = 1;
    void MusicOpenAndPlay(const QString& path) override { calls.append("open " + path); }
    void MusicPlay() override { calls.append(QStringLiteral("play")); }
    void MusicStopRewind() override { calls.append(QStringLiteral("stoprewind")); }
    int MusicRunning() override { return running; }
};

}  // namespace wf
