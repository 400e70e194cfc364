"""Small drawing kit for the program's own art: shapes, a canvas and file writers."""
