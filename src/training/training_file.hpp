#pragma once
// The training file: a set of repetitions kept as text (Windows-1252, CR LF)
// to be loaded into the training window again; and the printed table of a
// set.
//
//   QLX Training File for Ann Lee ID: 7
//    3 reps completed on Monday, 7 December 2026   09:15:02 AM   Mass:  80 kg
//   repno         maxheight     minheight     peakvel       concentrictm  power         workdone
//   1,.6,0,1.2,800,490.35,392.28
//   …
//   end of set

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.hpp"
#include "squads/squad_table.hpp"
#include "training/repetition_analysis.hpp"

namespace torvane {

inline constexpr std::string_view kTrainingFileMarker = "QLX Training File";
inline constexpr const char* kTrainingFileEnd = "end of set";
inline constexpr const char* kNotTrainingFileMessage =
    "Cannot open training file. Please check that the file selected is a QLX training file "
    "from Version 2003.2.0 or later";
inline constexpr const char* kTrainingDataTitle = "Training Data";
inline constexpr const char* kSaveTrainingTitle = "Save Training Results";
inline constexpr const char* kTrainingFileInitialName = "train.dat";
inline constexpr const char* kTrainingFileFilter = "All files|*.*";
// The demonstration set replayed in demonstration mode, in the data folder.
inline constexpr const char* kTrainingDemoFileName = "train.dat";

// The file's text as it is written to disk (Windows-1252 bytes, CR LF).
std::string TrainingFileText(const RepetitionSet& set, const SquadMember& athlete, float weight,
                             bool flightPhase, const LocalDateTime& now);

// A training file as read back.
struct TrainingFileContents {
  bool ok = false;
  // Why the file was refused: the design's message for a file that is no
  // training file, else the line at fault and what is wrong with it.
  std::string error;
  bool notTrainingFile = false;
  std::string line1;  // as read (UTF-8)
  std::string line2;
  RepetitionSet set;
  // The athlete named on line 1 and the mass of line 2, when they are there.
  std::optional<SquadMember> athlete;
  std::optional<float> weight;
};

// Reads the text of a training file. A file that announces more
// repetitions than it holds loads those it holds; a repetition line that is
// not seven numbers, or whose number is not the next repetition's, refuses
// the whole file with the line's number.
TrainingFileContents ParseTrainingFile(std::string_view bytes);

// The lines of the printed set, each in print zones: the title naming the
// athlete, date, time and mass, the headings, one line per repetition.
std::vector<std::string> TrainingPrintLines(const RepetitionSet& set, const SquadMember& athlete,
                                            float weight, bool flightPhase,
                                            const LocalDateTime& now);

}  // namespace torvane
