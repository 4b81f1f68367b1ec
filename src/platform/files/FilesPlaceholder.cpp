// The file-system module lands here.
