#include "shell/help_pages.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace fs = std::filesystem;

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), Lower);
  return out;
}

int CountOccurrences(std::string_view haystack, std::string_view needle) {
  int count = 0;
  for (std::size_t at = haystack.find(needle); at != std::string_view::npos;
       at = haystack.find(needle, at + needle.size())) {
    ++count;
  }
  return count;
}

// The text between <title> and </title>, blanks tidied.
std::string TitleOf(std::string_view html) {
  const std::string lowered = Lowered(html);
  const std::size_t open = lowered.find("<title>");
  if (open == std::string::npos) return {};
  const std::size_t start = open + 7;
  const std::size_t close = lowered.find("</title>", start);
  if (close == std::string::npos) return {};
  return HelpPageText(html.substr(start, close - start));
}

}  // namespace

std::string InstalledDataFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  const fs::path folder = exe.parent_path() / ".." / "share" / "torvane" / "data";
  if (!fs::is_directory(folder, ec)) return {};
  return fs::weakly_canonical(folder, ec).string();
}

std::string HelpPagePath(std::string_view programDataFolder, std::string_view installedFolder,
                         std::string_view relativePath) {
  for (std::string_view folder : {programDataFolder, installedFolder}) {
    if (folder.empty()) continue;
    const std::string path = JoinPath(folder, relativePath);
    if (FileExists(path)) return path;
  }
  return {};
}

std::string HelpPagePath(const Session& session, std::string_view relativePath) {
  return HelpPagePath(session.settings.ProgramDataDirectory, InstalledDataFolder(), relativePath);
}

std::string HelpPageText(std::string_view html) {
  std::string out;
  out.reserve(html.size());
  std::size_t i = 0;
  const auto blank = [&out] {
    if (!out.empty() && out.back() != ' ') out += ' ';
  };
  while (i < html.size()) {
    const char c = html[i];
    if (html.substr(i, 4) == "<!--") {
      const std::size_t end = html.find("-->", i + 4);
      i = end == std::string_view::npos ? html.size() : end + 3;
    } else if (c == '<') {
      const std::size_t end = html.find('>', i);
      const std::string_view tag =
          html.substr(i + 1, (end == std::string_view::npos ? html.size() : end) - i - 1);
      i = end == std::string_view::npos ? html.size() : end + 1;
      const std::string name = Lowered(tag.substr(0, tag.find_first_of(" \t\r\n/>", 1)));
      // The head's style and script say nothing a reader sees.
      if (name == "style" || name == "script") {
        const std::size_t stop = Lowered(html.substr(i)).find("</" + name);
        i = stop == std::string::npos ? html.size() : i + stop;
      }
      // A block or a line break parts words; an inline tag (<b>) does not.
      static const char* const kInline[] = {"a",  "b",  "i",  "em",  "strong",  "code",  "span",
                                            "/a", "/b", "/i", "/em", "/strong", "/code", "/span"};
      if (std::find(std::begin(kInline), std::end(kInline), name) == std::end(kInline)) blank();
    } else if (c == '&') {
      static const std::pair<const char*, const char*> kEntities[] = {
          {"&amp;", "&"}, {"&lt;", "<"},   {"&gt;", ">"},          {"&quot;", "\""},
          {"&#39;", "'"}, {"&nbsp;", " "}, {"&times;", "\xC3\x97"}};
      bool decoded = false;
      for (const auto& [entity, text] : kEntities) {
        const std::string_view e(entity);
        if (html.substr(i, e.size()) == e) {
          if (*text == ' ') {
            blank();
          } else {
            out += text;
          }
          i += e.size();
          decoded = true;
          break;
        }
      }
      if (!decoded) out += html[i++];
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      blank();
      ++i;
    } else {
      out += c;
      ++i;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  if (!out.empty() && out.front() == ' ') out.erase(0, 1);
  return out;
}

std::vector<HelpSearchHit> SearchHelpPages(const std::string& folder, std::string_view text) {
  std::vector<HelpSearchHit> hits;
  const std::string needle = Lowered(HelpPageText(text));
  if (needle.empty()) return hits;
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    const std::string extension = Lowered(it->path().extension().string());
    if (extension != ".htm" && extension != ".html") continue;
    const FileReadResult page = ReadWholeFile(it->path().string());
    if (!page.ok) continue;
    const int count = CountOccurrences(Lowered(HelpPageText(page.bytes)), needle);
    if (count == 0) continue;
    HelpSearchHit hit{it->path().filename().string(), TitleOf(page.bytes), count};
    if (hit.title.empty()) hit.title = hit.fileName;
    hits.push_back(std::move(hit));
  }
  std::sort(hits.begin(), hits.end(), [](const HelpSearchHit& a, const HelpSearchHit& b) {
    return a.count != b.count ? a.count > b.count : a.fileName < b.fileName;
  });
  return hits;
}

}  // namespace torvane
