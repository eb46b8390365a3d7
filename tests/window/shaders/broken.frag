// Does not compile: the variable is never declared.
#version 120
void main() { gl_FragColor = undeclared; }
