#pragma once

namespace arvexhub::test::killpoints {

/// Every call that changes a file (a write to a regular file, an open that creates or truncates,
/// a rename, link, unlink, mkdir, rmdir, chmod, truncate or sync) is a kill point once armed. When
/// ARVEXHUB_KILL_AT=N is set, the process kills itself with SIGKILL just before the Nth one, after
/// printing "killed at N: <call> <path>" to standard error.
void arm();
/// Kill points passed since arm().
long passed();

} // namespace arvexhub::test::killpoints
