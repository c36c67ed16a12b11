// Exceptions that escape a window's handler end the run loop through its
// error path.
