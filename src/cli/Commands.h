// The sub-commands of vantomo-cli. Each takes the arguments after its name and
// returns the exit code: 0 success, 1 failure (one line on stderr), 2 usage error.
#pragma once

#include <string_view>
#include <vector>

namespace vantomo {

using Args = std::vector<std::string_view>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int RunInfo(const Args& args);
int RunTexture(const Args& args);
int RunConvert(const Args& args);
int RunScript(const Args& args);
int RunRender(const Args& args);

} // namespace vantomo
