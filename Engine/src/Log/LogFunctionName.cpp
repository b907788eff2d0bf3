#include "Engine/LogCheck.h"

#include <cstring>

std::string LogFunctionName(const char* prettyFunction)
{
    if (!prettyFunction)
        return {};
    std::string text(prettyFunction);
    // Anonymous namespaces add nothing to a log line.
    for (const char* noise : {"(anonymous namespace)::", "{anonymous}::"}) {
        for (size_t at; (at = text.find(noise)) != std::string::npos;)
            text.erase(at, std::strlen(noise));
    }
    // The qualified name ends at the parameter list and starts after the return type.
    size_t end = text.find('(');
    if (end == std::string::npos)
        end = text.size();
    int depth = 0;
    size_t begin = end;
    while (begin > 0) {
        const char c = text[begin - 1];
        if (c == '>')
            ++depth;
        else if (c == '<')
            --depth;
        else if (c == ' ' && depth == 0)
            break;
        --begin;
    }
    return text.substr(begin, end - begin);
}
