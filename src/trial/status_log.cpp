#include "trial/status_log.hpp"

#include "common/text_file.hpp"

namespace torvane {

void LoadStatusWindow(StatusLog& log, std::string_view dateLine) {
  if (log.windowLoaded) return;
  log.windowLoaded = true;
  log.text = std::string(dateLine) + "\r\n" + log.text;
  for (auto& listener : log.textListeners) listener(log.text);
}

void AppendStatusMessage(StatusLog& log, std::string_view message, bool show,
                         const std::string& filePath) {
  if (show) {
    log.text.append(message);
    log.text.append("\r\n");
    for (auto& listener : log.textListeners) listener(log.text);
  }
  for (auto& listener : log.messageListeners) listener(message);
  if (!filePath.empty()) WriteFileReplacing(filePath, Utf8ToCp1252(log.text + "\r\n"));
}

StatusBar::StatusBar() {
  panels = {{{"Interface NOT found", "Status of the data interface"},
             {"sample rate", "Current sample rate setting"},
             {"time left", "Number of samples to collect"},
             {"sample duration", "Time over which to sample the data"},
             {"Brake setting", "Brake setting"},
             {"no data collected", "indicates if collected data has or has not been saved"},
             {"Collect Force", "Status of force collection or not"},
             {"Subject Info", "Subject ID Name and body weight"}}};
}

void StatusBar::Set(int number, std::string text) {
  if (number < 1 || number > 8) return;
  Panel(number).text = std::move(text);
  Notify();
}

}  // namespace torvane
