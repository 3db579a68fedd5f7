#pragma once
// Trial files of every kind the reader takes, written from sample arrays,
// and jump profiles to fill them: for the batch, analyse and end-to-end tests.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "common/number_text.hpp"

namespace torvane::testing {

struct TrialFileSpec {
  int frequency = 500;
  bool recordForce = true;
  double weight = 80;
  std::string id = "A1";
  std::string firstName = "Ann";
  std::string lastName = "Lee";
  double bodyMass = 61.5;
  std::string dateTime = "2026-12-06 10:00:00";
  // One value per data line: the trial's samples and the one line more the
  // file stores.
  std::vector<double> displacement;
  std::vector<double> force;
};

inline std::string DataLines(const TrialFileSpec& trial, bool withForce) {
  std::string out;
  for (std::size_t i = 0; i < trial.displacement.size(); ++i) {
    std::string line = FormatNumber(trial.displacement[i], "0.0000");
    if (withForce) {
      PadToNextPrintZone(line);
      line += FormatNumber(trial.force[i], "0.00000");
    }
    out += line + "\r\n";
  }
  return out;
}

inline std::string Version2Text(const TrialFileSpec& s) {
  return "\"QLX Data File Version 2\"\r\n\"" + s.dateTime + "\"\r\n" + std::to_string(s.frequency) +
         "," + (s.recordForce ? "1" : "0") + "," + ShortNumericTextUnsigned(s.weight) + ",\"" +
         s.id + "\",\"" + s.firstName + "\",\"" + s.lastName + "\"," +
         ShortNumericTextUnsigned(s.bodyMass) + "\r\n" + DataLines(s, s.recordForce);
}

inline std::string Version1Text(const TrialFileSpec& s) {
  return "\"QLX Data File\"\r\n\"" + s.dateTime + "\"\r\n" + std::to_string(s.frequency) + "," +
         (s.recordForce ? "1" : "0") + "," + ShortNumericTextUnsigned(s.weight) + "\r\n" +
         DataLines(s, s.recordForce);
}

// Force is always taken as recorded in a file without a header.
inline std::string HeaderlessText(const TrialFileSpec& s) {
  return std::to_string(s.frequency) + ",0\r\n" + DataLines(s, true);
}

// A force-platform export: values at fixed places at the line ends; the
// data lines hold exactly the declared number of samples.
inline std::string ForcePlatformExportText(const TrialFileSpec& s) {
  const auto rightAligned = [](std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
  };
  const std::size_t samples = s.displacement.size();
  std::string out = "BioWare 3.0 Export,\r\nTrial,1\r\n";
  out += "Number of samples:" + rightAligned(std::to_string(samples), 5) + "\r\n";
  out += "Sampling rate:" + rightAligned(std::to_string(s.frequency), 11) + "\r\n";
  for (int i = 5; i <= 9; ++i) out += "Header line\r\n";
  out += "Body weight [N]:" + rightAligned(FormatNumber(s.weight * 9.807, "0.000"), 11) + "\r\n";
  out += "Columns\r\nUnits\r\n";
  for (std::size_t i = 0; i < samples; ++i) {
    out += FormatNumber(s.displacement[i], "0.0000") + " " + FormatNumber(s.force[i], "0.00000") +
           "\r\n";
  }
  return out;
}

struct JumpShape {
  int lines = 1001;  // data lines (samples + 1)
  int frequency = 500;
  double mass = 80;
  int start = 200;           // first sample of the movement
  double dipVelocity = 0.5;  // deepest downward velocity (0: no countermovement)
  double takeOffVelocity = 2.5;
};

// The body's velocity through a jump: still, a half-sine dip of 0.2 s, a
// quarter-sine push of 0.2 s up to the take-off velocity, free fall at
// 9.81 m/s² until it comes down as fast as it left, and a stop in 0.1 s.
inline std::vector<double> JumpVelocity(const JumpShape& j) {
  std::vector<double> v(static_cast<std::size_t>(j.lines), 0.0);
  const double fs = j.frequency;
  const int phase = static_cast<int>(0.2 * fs);
  const int takeOff = j.start + 2 * phase;
  const int landing = takeOff + static_cast<int>(std::round(2 * j.takeOffVelocity / 9.81 * fs));
  const int rest = landing + static_cast<int>(0.1 * fs);
  const double pi = std::numbers::pi;
  for (int i = 0; i < j.lines; ++i) {
    double value = 0;
    if (i >= j.start && i < j.start + phase) {
      value = -j.dipVelocity * std::sin(pi * (i - j.start) / phase);
    } else if (i >= j.start + phase && i <= takeOff) {
      value = j.takeOffVelocity * std::sin(pi / 2 * (i - j.start - phase) / phase);
    } else if (i > takeOff && i <= landing) {
      value = j.takeOffVelocity - 9.81 * (i - takeOff) / fs;
    } else if (i > landing && i < rest) {
      const double atLanding = j.takeOffVelocity - 9.81 * (landing - takeOff) / fs;
      value = atLanding * (rest - i) / (rest - landing);
    }
    v[static_cast<std::size_t>(i)] = value;
  }
  return v;
}

// A file of the jump: displacement integrated from the velocity (or 0 for a
// force platform alone) and the force m·(g + a), none in flight.
inline TrialFileSpec JumpFile(const JumpShape& j, bool withDisplacement, bool withForce) {
  TrialFileSpec s;
  s.frequency = j.frequency;
  s.recordForce = withForce;
  s.weight = j.mass;
  const std::vector<double> v = JumpVelocity(j);
  const std::size_t n = v.size();
  s.displacement.assign(n, 0.0);
  s.force.assign(n, 0.0);
  double x = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) x += (v[i - 1] + v[i]) / 2 / j.frequency;
    if (withDisplacement) s.displacement[i] = x;
    const double a = i > 0 && i + 1 < n ? (v[i + 1] - v[i - 1]) * j.frequency / 2 : 0.0;
    s.force[i] = std::max(0.0, j.mass * (9.807 + a));
    if (std::fabs(a + 9.81) < 1e-9) s.force[i] = 0;
  }
  return s;
}

}  // namespace torvane::testing
