#ifndef QUILLORA_APP_COMMANDLINE_H
#define QUILLORA_APP_COMMANDLINE_H

// Arguments count only after a quoted program path, as Explorer starts a
// program: they start two characters after the second double quote (the
// quote and one separator are skipped, whatever the separator is).
// Returns a pointer into commandLine, or null when there is no argument text;
// a non-null result is never empty.
const char *FindArgumentText(const char *commandLine);

// The gamma file that an argument text of the form "/E path" (or "/e") names.
// The character after the switch is skipped unexamined; a path starting with
// a double quote ends at the next one, which is overwritten with NUL in place;
// an unquoted path runs to the end of the text, trailing spaces included.
// Returns the path (empty when the text ends before it), or null when the
// text is not an /E switch.
char *FindApplyPath(char *argumentText);

#endif
