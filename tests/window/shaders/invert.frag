// The frame turned into its negative.
#version 120
uniform sampler2D frame;
void main() { gl_FragColor = vec4(vec3(1.0) - texture2D(frame, gl_TexCoord[0].xy).rgb, 1.0); }
