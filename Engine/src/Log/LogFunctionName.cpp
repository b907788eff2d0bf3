#include "Engine/LogCheck.h"

#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// A member of a class template reads "CList<T>::Init(...) [with T = double]": the
// line names the instance, "CList<double>::Init".
void SubstituteTemplateArguments(std::string& name, const std::string& pretty)
{
    const size_t with = pretty.rfind(" [with ");
    if (with == std::string::npos || pretty.back() != ']')
        return;
    std::vector<std::pair<std::string, std::string>> arguments;
    const std::string list = pretty.substr(with + 7, pretty.size() - with - 8);
    for (size_t begin = 0; begin < list.size();) {
        size_t end = list.find("; ", begin);
        if (end == std::string::npos)
            end = list.size();
        const std::string item = list.substr(begin, end - begin);
        const size_t eq = item.find(" = ");
        if (eq != std::string::npos)
            arguments.emplace_back(item.substr(0, eq), item.substr(eq + 3));
        begin = end + 2;
    }
    for (const auto& [parameter, argument] : arguments) {
        for (size_t at = 0; (at = name.find(parameter, at)) != std::string::npos;) {
            const bool whole = (at == 0 || !IsNameChar(name[at - 1]))
                && (at + parameter.size() == name.size() || !IsNameChar(name[at + parameter.size()]));
            if (!whole) {
                at += parameter.size();
                continue;
            }
            name.replace(at, parameter.size(), argument);
            at += argument.size();
        }
    }
}

} // namespace

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
    std::string name = text.substr(begin, end - begin);
    SubstituteTemplateArguments(name, text);
    return name;
}
