// The process's standard streams, made fit for the commands before any runs.
#pragma once

namespace vardane::cli {

// False when they cannot be made so, which is a refusal.
[[nodiscard]] bool prepareStandardStreams();

}  // namespace vardane::cli
