// Keeps tamber-core buildable until its first class lands.
