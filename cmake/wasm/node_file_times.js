// Emscripten 3.1.6 passes Node's fs.utimesSync milliseconds where it takes seconds, so that
// setting a file's times under NODERAWFS (utimensat, std::filesystem::last_write_time) puts
// them centuries ahead; the reload tests set them. Appended to each program with --post-js,
// where FS, fs and NODERAWFS's error wrapper are in scope when the program uses files at all.
if (typeof FS !== "undefined" && typeof _wrapNodeError === "function") {
  FS.utime = _wrapNodeError(function(path, atime, mtime) {
    fs.utimesSync(path, atime / 1000, mtime / 1000);
  });
}
