/*
 * Queries on the engine's record of a file: the section a load of a name
 * gives, a line's text by its number, the findings by severity.
 */
#include "author/analysis.h"

#include <algorithm>

namespace author {

int findSection(const Analysis &a, const std::string &name) {
  auto it = a.firstSection.find(name);
  return it == a.firstSection.end() ? -1 : it->second;
}

std::string lineText(const Analysis &a, int number) {
  auto it = std::lower_bound(a.lines.begin(), a.lines.end(), number, [](const Line &l, int n) { return l.number < n; });
  return it != a.lines.end() && it->number == number ? it->text : std::string();
}

int countSeverity(const Analysis &a, Severity severity) {
  int n = 0;
  for (const Finding &f : a.findings) n += f.severity == severity;
  return n;
}

}  // namespace author
