#!/usr/bin/env python3
"""Generates the OpenGL binding's name tables from the Khronos headers.

Reads GL/gl.h (the OpenGL 1.1 function set) and GL/glext.h (one block per
extension, its prototypes under GL_GLEXT_PROTOTYPES) and writes:

  module/gl/gl_core_function_list.h       the module's 336 OpenGL 1.1 functions
  module/gl/gl_extension_function_list.h  every extension entry point, sorted
  shared/gl/gl_extension_table.cpp        the 147 loaders: name -> entry points

The outputs are committed, so the build never depends on the header layout.
Run from anywhere: python3 tools/generate_gl_tables.py [include dir]
"""

import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# The host's first seven entry points lead the module's list; the rest of
# the OpenGL 1.1 set follows in alphabetical order.
LEADING_CORE_FUNCTIONS = [
    "glGetString", "glAlphaFunc", "glBegin", "glBindTexture", "glColor3f", "glColor4f",
    "glBlendFunc",
]
CORE_FUNCTION_COUNT = 336

# The extension loaders, in the order callers know them.
EXTENSIONS = """
GL_ARB_imaging GL_ARB_multitexture GL_ARB_transpose_matrix GL_ARB_multisample
GL_ARB_texture_env_add WGL_ARB_extensions_string WGL_ARB_buffer_region GL_ARB_texture_cube_map
GL_ARB_depth_texture GL_ARB_point_parameters GL_ARB_shadow GL_ARB_shadow_ambient
GL_ARB_texture_border_clamp GL_ARB_texture_compression GL_ARB_texture_env_combine
GL_ARB_texture_env_crossbar GL_ARB_texture_env_dot3 GL_ARB_texture_mirrored_repeat
GL_ARB_vertex_blend GL_ARB_vertex_program GL_ARB_window_pos GL_EXT_422_pixels GL_EXT_abgr
GL_EXT_bgra GL_EXT_blend_color GL_EXT_blend_func_separate GL_EXT_blend_logic_op
GL_EXT_blend_minmax GL_EXT_blend_subtract GL_EXT_clip_volume_hint GL_EXT_color_subtable
GL_EXT_compiled_vertex_array GL_EXT_convolution GL_EXT_fog_coord GL_EXT_histogram
GL_EXT_multi_draw_arrays GL_EXT_packed_pixels GL_EXT_paletted_texture GL_EXT_point_parameters
GL_EXT_polygon_offset GL_EXT_secondary_color GL_EXT_separate_specular_color GL_EXT_shadow_funcs
GL_EXT_shared_texture_palette GL_EXT_stencil_two_side GL_EXT_stencil_wrap GL_EXT_subtexture
GL_EXT_texture3D GL_EXT_texture_compression_s3tc GL_EXT_texture_env_add
GL_EXT_texture_env_combine GL_EXT_texture_env_dot3 GL_EXT_texture_filter_anisotropic
GL_EXT_texture_lod_bias GL_EXT_texture_object GL_EXT_vertex_array GL_EXT_vertex_shader
GL_EXT_vertex_weighting GL_HP_occlusion_test GL_NV_blend_square GL_NV_copy_depth_to_color
GL_NV_depth_clamp GL_NV_evaluators GL_NV_fence GL_NV_fog_distance GL_NV_light_max_exponent
GL_NV_multisample_filter_hint GL_NV_occlusion_query GL_NV_packed_depth_stencil
GL_NV_point_sprite GL_NV_register_combiners GL_NV_register_combiners2 GL_NV_texgen_emboss
GL_NV_texgen_reflection GL_NV_texture_compression_vtc GL_NV_texture_env_combine4
GL_NV_texture_rectangle GL_NV_texture_shader GL_NV_texture_shader2 GL_NV_texture_shader3
GL_NV_vertex_array_range GL_NV_vertex_array_range2 GL_NV_vertex_program
GL_NV_vertex_program1_1 GL_ATI_element_array GL_ATI_envmap_bumpmap GL_ATI_fragment_shader
GL_ATI_pn_triangles GL_ATI_texture_mirror_once GL_ATI_vertex_array_object GL_ATI_vertex_streams
WGL_I3D_image_buffer WGL_I3D_swap_frame_lock WGL_I3D_swap_frame_usage
GL_3DFX_texture_compression_FXT1 GL_IBM_cull_vertex GL_IBM_multimode_draw_arrays
GL_IBM_raster_pos_clip GL_IBM_texture_mirrored_repeat GL_IBM_vertex_array_lists
GL_MESA_resize_buffers GL_MESA_window_pos GL_OML_interlace GL_OML_resample GL_OML_subsample
GL_SGIS_generate_mipmap GL_SGIS_multisample GL_SGIS_pixel_texture GL_SGIS_texture_border_clamp
GL_SGIS_texture_color_mask GL_SGIS_texture_edge_clamp GL_SGIS_texture_lod
GL_SGIS_depth_texture GL_SGIX_fog_offset GL_SGIX_interlace GL_SGIX_shadow_ambient
GL_SGI_color_matrix GL_SGI_color_table GL_SGI_texture_color_table GL_SUN_vertex
GL_ARB_fragment_program GL_ATI_text_fragment_shader GL_APPLE_client_storage
GL_APPLE_element_array GL_APPLE_fence GL_APPLE_vertex_array_object GL_APPLE_vertex_array_range
WGL_ARB_pixel_format WGL_ARB_make_current_read WGL_ARB_pbuffer WGL_EXT_swap_control
WGL_ARB_render_texture WGL_EXT_extensions_string WGL_EXT_make_current_read WGL_EXT_pbuffer
WGL_EXT_pixel_format WGL_I3D_digital_video_control WGL_I3D_gamma WGL_I3D_genlock
GL_ARB_matrix_palette GL_NV_element_array GL_NV_float_buffer GL_NV_fragment_program
GL_NV_primitive_restart GL_NV_vertex_program2
""".split()
EXTENSION_COUNT = 145

# The core-version loaders and the glext.h block that lists their functions.
CORE_VERSIONS = [("GL_version_1_2", "GL_VERSION_1_2", 1, 2),
                 ("GL_version_1_3", "GL_VERSION_1_3", 1, 3)]

GLEXT_PROTOTYPE = re.compile(r"^GLAPI (.+?) APIENTRY (gl\w+) \((.*)\);$")
GL_PROTOTYPE = re.compile(r"GLAPI\s+([^;]+?)\s*GLAPIENTRY\s+(gl\w+)\s*\(([^;]*?)\)\s*;")


def tidy(text):
    """One blank between words, pointer stars on the type: "const GLfloat* v"."""
    text = re.sub(r"\s*\*", "*", " ".join(text.split()))
    return re.sub(r"\*(?=\w)", "* ", text).strip()


def signature(result, params):
    params = tidy(params)
    return tidy(result), "" if params == "void" else params


def core_functions(gl_h):
    text = gl_h.read_text()
    end = text.index(" * OpenGL 1.2")
    functions = {}
    for match in GL_PROTOTYPE.finditer(text[:end]):
        functions[match.group(2)] = signature(match.group(1), match.group(3))
    return functions


def extension_blocks(glext_h):
    """Maps each #ifndef block's name to its prototypes, in header order."""
    blocks = {}
    current = None
    for line in glext_h.read_text().splitlines():
        opening = re.match(r"^#ifndef (GL_\w+)$", line)
        if opening and current is None:
            current = opening.group(1)
            blocks[current] = []
            continue
        if current is not None and line == f"#endif /* {current} */":
            current = None
            continue
        prototype = GLEXT_PROTOTYPE.match(line)
        if current is not None and prototype:
            blocks[current].append((prototype.group(2),
                                    signature(prototype.group(1), prototype.group(3))))
    return blocks


def x_macro_header(path, macro, purpose, functions):
    rows = "".join(f"  X({name[2:]}, {result}, ({params})) \\\n" for name, (result, params)
                   in functions)
    path.write_text(f"""// Generated by tools/generate_gl_tables.py from the Khronos OpenGL headers;
// edit the generator, not this file.
// {purpose}
// X(name without the gl prefix, result, parameters)
#pragma once

#define {macro}(X) \\
{rows}
""")


def table_source(path, loaders):
    lists = []
    rows = []
    for name, kind, version, entry_points in loaders:
        if entry_points:
            names = ", ".join(f'"{entry}"' for entry, _ in entry_points)
            lists.append(f"constexpr const char* k{name}[] = {{{names}}};\n")
            span = f"k{name}"
        else:
            span = "{}"
        rows.append(f'    {{"{name}", TGLExtensionKind::{kind}, {{{version[0]}, {version[1]}}}, '
                    f"{span}}},\n")
    path.write_text(f"""// Generated by tools/generate_gl_tables.py from the Khronos OpenGL headers;
// edit the generator, not this file.
#include "shared/gl/gl_extension_table.h"

namespace {{
{"".join(lists)}}}  // namespace

const TGLExtension kGLExtensions[kGLExtensionCount] = {{
{"".join(rows)}}};
""")


def main():
    include = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "/usr/include")
    core = core_functions(include / "GL/gl.h")
    if len(core) != CORE_FUNCTION_COUNT:
        sys.exit(f"gl.h declares {len(core)} OpenGL 1.1 functions, expected {CORE_FUNCTION_COUNT}")
    ordered = LEADING_CORE_FUNCTIONS + sorted(set(core) - set(LEADING_CORE_FUNCTIONS))
    core_list = [(name, core[name]) for name in ordered]

    if len(EXTENSIONS) != EXTENSION_COUNT or len(set(EXTENSIONS)) != EXTENSION_COUNT:
        sys.exit("the extension list must hold 145 distinct names")
    blocks = extension_blocks(include / "GL/glext.h")
    loaders = []
    missing = []
    for name in EXTENSIONS:
        if name.startswith("WGL_"):
            loaders.append((name, "WindowSystem", (0, 0), []))
            continue
        if name not in blocks:
            missing.append(name)
        loaders.append((name, "Extension", (0, 0), blocks.get(name, [])))
    for name, block, major, minor in CORE_VERSIONS:
        loaders.append((name, "CoreVersion", (major, minor), blocks[block]))

    extension_functions = {}
    for name, _, _, entry_points in loaders:
        for entry, sig in entry_points:
            if entry in core:
                sys.exit(f"{entry} of {name} is an OpenGL 1.1 function")
            if extension_functions.setdefault(entry, sig) != sig:
                sys.exit(f"{entry} has two different signatures")

    x_macro_header(ROOT / "module/gl/gl_core_function_list.h", "ZOK_GL_CORE_FUNCTIONS",
                   "The OpenGL 1.1 set: the host's first seven, then the rest alphabetically.",
                   core_list)
    x_macro_header(ROOT / "module/gl/gl_extension_function_list.h",
                   "ZOK_GL_EXTENSION_FUNCTIONS",
                   "Every entry point of the extension loaders, sorted by name.",
                   sorted(extension_functions.items()))
    table_source(ROOT / "shared/gl/gl_extension_table.cpp", loaders)

    outputs = [ROOT / "module/gl/gl_core_function_list.h",
               ROOT / "module/gl/gl_extension_function_list.h",
               ROOT / "shared/gl/gl_extension_table.cpp"]
    try:
        subprocess.run(["clang-format", "-i", *map(str, outputs)], check=True)
    except FileNotFoundError:
        print("clang-format not found: outputs left unformatted", file=sys.stderr)
    print(f"{len(core_list)} core functions, {len(loaders)} loaders, "
          f"{len(extension_functions)} extension entry points")
    if missing:
        print("without a glext.h block (presence only): " + ", ".join(missing))


if __name__ == "__main__":
    main()
