// The monitor of the shader example: inside the `monitor` rectangle the frame
// is bent like the glass of a tube, split into its colour guns at the edges,
// cut into scan lines, swept by a slow bright band and darkened towards the
// corners. Outside it the frame passes through unchanged.
#version 120

uniform sampler2D frame;
uniform vec4 monitor;    // left, top, right, bottom, in texture coordinates
uniform vec2 resolution; // the frame's size in pixels
uniform float time;      // seconds
uniform float strength;  // 0 leaves the picture flat, 1 is the full effect

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec2 size = monitor.zw - monitor.xy;
    vec2 p = (uv - monitor.xy) / size;
    if (p.x < 0.0 || p.y < 0.0 || p.x > 1.0 || p.y > 1.0)
    {
        gl_FragColor = texture2D(frame, uv);
        return;
    }
    // Barrel distortion about the middle of the tube.
    vec2 c = p * 2.0 - 1.0;
    c *= 1.0 + strength * 0.12 * dot(c, c);
    vec2 q = c * 0.5 + 0.5;
    if (q.x < 0.0 || q.y < 0.0 || q.x > 1.0 || q.y > 1.0)
    {
        // Between the bent picture and the bezel: dark glass.
        gl_FragColor = vec4(0.02, 0.02, 0.03, 1.0);
        return;
    }
    vec2 at = monitor.xy + q * size;
    // The guns drift apart towards the edges.
    float shift = strength * (0.6 + 1.6 * dot(c, c)) / resolution.x;
    vec3 colour = vec3(texture2D(frame, at + vec2(shift, 0.0)).r, texture2D(frame, at).g,
                       texture2D(frame, at - vec2(shift, 0.0)).b);
    float lines = size.y * resolution.y * 0.5;
    float scan = mix(1.0, 0.72 + 0.28 * sin(q.y * 6.2831853 * lines), strength);
    float band = 1.0 + strength * 0.07 * smoothstep(0.9, 1.0, 1.0 - abs(fract(q.y - time * 0.12) - 0.5) * 2.0);
    float vignette = mix(1.0, clamp(1.25 - 0.45 * dot(c * c, c * c) - 0.2 * dot(c, c), 0.0, 1.0), strength);
    colour = colour * scan * band * vignette;
    // A faint glow lifts the blacks, as phosphor does.
    colour += strength * vec3(0.015, 0.02, 0.03);
    gl_FragColor = vec4(colour, 1.0);
}
