/*
 * The pattern matcher: sparse scans one line against a scanf-like pattern and
 * writes every field it extracts, as text, into a token string. One scan state
 * is passed to a helper per element of the pattern language (literal runs,
 * sets, bracket groups, default tokens, each conversion); nothing survives a
 * call and nothing is allocated.
 */
#include <limits.h>

#include "dialog/dialog_internal.h"

namespace {

/* The state of one scan. */
struct Scan {
  const char *src; /* source position */
  const char *pat; /* pattern position */
  char *out;       /* write position: the token string's NUL, or null */
  int room;        /* room left for tsPutChar */
  int flags;       /* SP_ flag word */
  int count;       /* elements processed */
  int minimum;     /* minimum count, -1 for none */
  int width;       /* width of the directive under way, 0 for no limit */
};

/* A source character folded by SP_LOWER or SP_UPPER. */
inline unsigned char fold(unsigned char c, int flags) {
  if (flags & SP_LOWER) return (unsigned char)tsToLower(c);
  if (flags & SP_UPPER) return (unsigned char)tsToUpper(c);
  return c;
}

/* The value "%3d" reads after a '#': white space skipped, then at most three
   characters, an optional sign included; 0 when no number can be read. */
int escapeNumber(const char *p) {
  while (tsIsSpace((unsigned char)*p)) p++;
  int used = 0, negative = 0, value = 0, digits = 0;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    p++;
    used++;
  }
  for (; used < 3 && tsIsDigit((unsigned char)*p); p++, used++, digits++) value = value * 10 + (*p - '0');
  if (!digits) return 0;
  return negative ? -value : value;
}

/* Reads one pattern character at p: a plain byte, or a '#' escape. Stores its
   value in *value and returns where the next pattern character begins. The
   escape spans the '#' and up to four digits after it when at least three
   characters follow the '#', else the '#' alone. */
const char *patternChar(const char *p, int *value) {
  if (*p != '#') {
    *value = (unsigned char)*p;
    return p + 1;
  }
  *value = escapeNumber(p + 1) & 0xFF;
  if (!p[1] || !p[2] || !p[3]) return p + 1;
  const char *q = p + 1;
  for (int n = 0; n < 4 && tsIsDigit((unsigned char)*q); n++) q++;
  return q;
}

/* Does the source character match a pattern character's value? */
inline bool matches(unsigned char c, int value, int flags) {
  c = fold(c, flags);
  if (flags & SP_NOCASE) return tsToLower(c) == tsToLower((unsigned char)value);
  return c == value;
}

/* Emits one character through the token writer, which moves the write
   position on to the token string's new end. */
inline void put(Scan *s, int c) { s->room = tsPutChar((signed char)c, &s->out, s->room, s->flags); }

/* Writes the source character, folded, and moves the source on. */
void take(Scan *s) {
  put(s, fold((unsigned char)*s->src, s->flags));
  s->src++;
}

/* Room left under the directive's width after n characters (width 0: none). */
inline bool underWidth(const Scan *s, int n) { return s->width == 0 || n < s->width; }

/* Writes pattern characters from s->pat up to a plain stop character or the
   end of the pattern, and moves the pattern past the stop character. */
void writePatternText(Scan *s, char stop) {
  while (*s->pat && *s->pat != stop) {
    int value;
    s->pat = patternChar(s->pat, &value);
    put(s, value);
  }
  if (*s->pat == stop) s->pat++;
}

/* A literal run: pattern characters up to white space, '%' or the end. */
void literalRun(Scan *s) {
  while (*s->pat && !tsIsSpace((unsigned char)*s->pat) && *s->pat != '%') {
    int value;
    const char *next = patternChar(s->pat, &value);
    if (!matches((unsigned char)*s->src, value, s->flags)) {
      s->flags |= SP_FAIL;
      return;
    }
    if (*s->src) s->src++; /* a value of 0 matches the end of the source */
    s->pat = next;
  }
}

/* The conversion s: a run up to white space or the end. */
void convertWord(Scan *s) {
  if (!*s->src || tsIsSpace((unsigned char)*s->src)) {
    s->flags |= SP_FAIL;
    return;
  }
  for (int n = 0; *s->src && !tsIsSpace((unsigned char)*s->src) && underWidth(s, n); n++) take(s);
}

void convertChars(Scan *s) {
  if (!*s->src) {
    s->flags |= SP_FAIL;
    return;
  }
  int most = s->width ? s->width : 1;
  for (int n = 0; *s->src && n < most; n++) take(s);
}

void convertDigits(Scan *s) {
  if (!tsIsDigit((unsigned char)*s->src)) {
    s->flags |= SP_FAIL;
    return;
  }
  for (int n = 0; tsIsDigit((unsigned char)*s->src) && underWidth(s, n); n++) take(s);
}

/* Does the source character belong to the set whose members run from
   members up to end? The end of the source belongs to no set. */
bool inSet(unsigned char c, const char *members, const char *end, bool negated, int flags) {
  if (!c) return false;
  bool found = false;
  for (const char *p = members; p < end && !found;) {
    int value;
    p = patternChar(p, &value);
    found = matches(c, value, flags);
  }
  return found != negated;
}

/* The conversion [: s->pat is just past the '['. */
void convertSet(Scan *s) {
  bool negated = *s->pat == '^';
  if (negated) s->pat++;
  const char *members = s->pat;
  const char *end = members;
  while (*end && *end != ']') {
    int value;
    end = patternChar(end, &value);
  }
  s->pat = *end ? end + 1 : end;
  if (!inSet((unsigned char)*s->src, members, end, negated, s->flags)) {
    s->flags |= SP_FAIL;
    return;
  }
  /* The test of the first character already counts once against the width,
     so a width w takes at most w - 1 characters. */
  int tested = 1;
  while (inSet((unsigned char)*s->src, members, end, negated, s->flags) && underWidth(s, tested)) {
    take(s);
    if (s->width) tested++;
  }
}

/* A bracket group: s->pat is on the opening bracket. Parses
   "<bracket><open>[-]<close>)" and copies the delimited text. */
void convertGroup(Scan *s) {
  if (!*s->pat) { /* the pattern ends before the group is complete */
    s->flags |= SP_FAIL;
    return;
  }
  s->pat++; /* the opening bracket */
  int open, close;
  if (!*s->pat) {
    s->flags |= SP_FAIL;
    return;
  }
  s->pat = patternChar(s->pat, &open);
  bool nested = *s->pat == '-';
  if (nested) s->pat++;
  if (!*s->pat) {
    s->flags |= SP_FAIL;
    return;
  }
  s->pat = patternChar(s->pat, &close);
  if (*s->pat != ')') { /* malformed: the pattern stays on the stray character */
    s->flags |= SP_FAIL;
    return;
  }
  s->pat++;
  if (open == close) nested = false;

  unsigned char first = (unsigned char)*s->src;
  if (!first || fold(first, s->flags) != open) {
    if (s->flags & SP_WORD) convertWord(s);
    else s->flags |= SP_FAIL;
    return;
  }
  if (s->flags & SP_KEEP) put(s, open);
  s->src++;
  int depth = 1, examined = 0;
  while (*s->src) {
    if (s->width && examined == s->width) break;
    examined++;
    unsigned char c = fold((unsigned char)*s->src, s->flags);
    if (c == close) {
      if (--depth == 0) break;
    } else if (nested && c == open) {
      depth++;
    }
    put(s, c);
    s->src++;
  }
  /* The closing delimiter, or the content character the width cut off. */
  if (*s->src) s->src++;
  if (s->flags & SP_KEEP) put(s, close);
}

/* Reads the saturated decimal width at s->pat. */
int readWidth(Scan *s) {
  int width = 0;
  for (; tsIsDigit((unsigned char)*s->pat); s->pat++) {
    int digit = *s->pat - '0';
    width = width > (INT_MAX - digit) / 10 ? INT_MAX : width * 10 + digit;
  }
  return width;
}

/* A directive: s->pat is just past its '%'. */
void directive(Scan *s) {
  s->flags = 0;
  if (*s->pat == '*') {
    s->flags |= SP_SKIP;
    s->pat++;
  } else if (*s->pat == '+') {
    s->flags |= SP_JOIN;
    s->pat++;
  }
  s->width = readWidth(s);
  switch (*s->pat) {
    case 'l':
      s->flags |= SP_LOWER;
      s->pat++;
      break;
    case 'u':
      s->flags |= SP_UPPER;
      s->pat++;
      break;
    case 'n':
      s->flags |= SP_NOCASE;
      s->pat++;
      break;
    default:
      break;
  }
  switch (*s->pat) {
    case 'c':
      s->pat++;
      convertChars(s);
      break;
    case 's':
      s->pat++;
      convertWord(s);
      break;
    case 'd':
      s->pat++;
      convertDigits(s);
      break;
    case 't':
      s->pat++;
      while (*s->src) take(s);
      break;
    case '[':
      s->pat++;
      convertSet(s);
      break;
    case '(':
      convertGroup(s);
      break;
    case 'q':
      s->pat++;
      s->flags |= SP_KEEP;
      convertGroup(s);
      break;
    case 'S':
      s->pat++;
      s->flags |= SP_WORD;
      if (*s->pat == 'q') {
        s->pat++;
        s->flags |= SP_KEEP;
      }
      convertGroup(s);
      break;
    case '{':
      s->pat++;
      writePatternText(s, '}');
      break;
    case 'f':
      s->pat++;
      s->minimum = s->width;
      s->flags |= SP_SKIP;
      break;
    default: /* no-op directive: the character is read as the next element */
      s->flags |= SP_SKIP | SP_JOIN;
      break;
  }
}

/* Tells a tool that traces the scan where an element read the source
   (from its start to where the scan now stands) or where it failed. */
void traceElement(const Scan *s, const char *source, const char *start, bool defaulted) {
  if (tsSparseTrace)
    tsSparseTrace->element(tsSparseTrace->context, s->count, start - source, s->src - source, defaulted);
}
void traceStop(const Scan *s, const char *source, const char *start) {
  if (tsSparseTrace) tsSparseTrace->stopped(tsSparseTrace->context, s->count, start - source);
}

/* After an element that began at start: a failure takes its default token
   or ends the scan; a success skips any default token. Returns false when
   the scan ends. */
bool finishElement(Scan *s, const char *source, const char *start) {
  if (s->flags & SP_FAIL) {
    if (*s->pat != '~') {
      traceStop(s, source, start);
      return false;
    }
    s->pat++;
    writePatternText(s, '~');
    traceElement(s, source, start, true);
    s->count++;
  } else {
    traceElement(s, source, start, false);
    s->count++;
    if (*s->pat == '~') {
      s->pat++;
      while (*s->pat && *s->pat != '~') s->pat++;
      if (*s->pat) s->pat++;
    }
  }
  if (!(s->flags & (SP_SKIP | SP_JOIN))) put(s, 0);
  return true;
}

}  // namespace

extern "C" int sparse(const char *source, const char *pattern, char *out, int room) {
  if (!source || !pattern) return 0;
  /* A buffer without room is never written to. */
  char *start = room > 0 ? out : nullptr;
  if (start) *start = 0;
  Scan s = {source, pattern, start, room, 0, 0, -1, 0};
  while (*s.pat) {
    s.flags &= ~SP_FAIL;
    const char *start = s.src;
    if (s.pat[0] == '%' && s.pat[1] == '%') {
      if (*s.src == '%') {
        s.src++;
        s.pat += 2;
      } else {
        s.flags |= SP_FAIL;
        s.pat++;
      }
      s.flags |= SP_SKIP | SP_JOIN;
    } else if (s.pat[0] == '%') {
      s.pat++;
      directive(&s);
    } else {
      s.flags |= SP_SKIP | SP_JOIN;
      if (tsIsSpace((unsigned char)*s.pat)) {
        while (tsIsSpace((unsigned char)*s.pat)) s.pat++;
        while (tsIsSpace((unsigned char)*s.src)) s.src++;
        continue;
      }
      literalRun(&s);
    }
    if (!finishElement(&s, source, start)) break;
  }
  if (start && ((s.minimum == 0 && *s.pat) || (s.minimum > 0 && s.count < s.minimum))) *start = 0;
  return s.count;
}
