// Keeps the application library non-empty while it is being built up.
