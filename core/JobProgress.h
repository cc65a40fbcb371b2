// The progress of a long command: after half a second the host's progress
// box ("Reading images", "12 of 5000", the file's name), redrawn at most
// ten times a second, and between two steps a look at the console for Esc.
#pragma once

#include <string>

class TJobProgress {
 public:
  // The job's clock starts here.
  TJobProgress();
  ~TJobProgress() { End(); }
  TJobProgress(const TJobProgress&) = delete;
  TJobProgress& operator=(const TJobProgress&) = delete;

  // Before the step `done` (0-based) of `total` of the stage named by the
  // message: false when the user has pressed Esc. Never waits for input.
  bool Next(int stageMessage, int done, int total, const std::wstring& name);
  // Takes the box away (puts the screen back as it was).
  void End();

 private:
  uint32_t start_, drawn_ = 0;
  bool shown_ = false;
};
