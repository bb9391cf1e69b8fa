// Keeps the library buildable until its first class lands.
