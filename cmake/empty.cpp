// Lets a folder with no sources yet still form a library.
