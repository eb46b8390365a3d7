// A sprite-shaped pass: the sprite's own pixels (stage 1, at the second
// coordinates) tinted green by the frame under it (stage 0).
#version 120
uniform sampler2D frame;
uniform sampler2D sprite;
void main()
{
    vec4 own = texture2D(sprite, gl_TexCoord[1].xy);
    vec4 under = texture2D(frame, gl_TexCoord[0].xy);
    gl_FragColor = vec4(own.r, under.g, own.b, own.a);
}
