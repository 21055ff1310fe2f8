#pragma once

#include <string>

// The language manager as the application base sees it: the one phrase lookup that every fixed
// English text of the interface passes through when it is drawn. The application base owns the
// program's translator and deletes it last at shutdown, after everything that translates.
class CTranslator
{
public:
    virtual ~CTranslator() = default;
    // The text in the current language (unchanged when it has no translation), upper-cased
    // byte by byte for the ASCII letters when asked.
    virtual std::string Translate(const std::string& text, bool upperCase) const = 0;
};
