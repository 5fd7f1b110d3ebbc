#!/usr/bin/env python3
"""Writes the toolbar and application icons as small SVG files into resources/icons.

Each icon is drawn from a few primitives on a 24 x 24 grid, so they stay crisp at any size
and can be adjusted here rather than in a drawing program."""
import os

OUT = os.path.join(os.path.dirname(__file__), '..', 'resources', 'icons')
INK = '#2b3a4a'
ACCENT = '#2f7fd0'
PAPER = '#ffffff'

def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24">'
            + body + '</svg>\n')

def page(extra=''):
    return (f'<path d="M5 2h10l4 4v16H5z" fill="{PAPER}" stroke="{INK}" stroke-width="1.2"/>'
            f'<path d="M15 2v4h4" fill="none" stroke="{INK}" stroke-width="1.2"/>' + extra)

def text(t, size=11, x=12, y=16, color=INK, weight='bold'):
    return (f'<text x="{x}" y="{y}" font-family="sans-serif" font-size="{size}" font-weight="{weight}" '
            f'text-anchor="middle" fill="{color}">{t}</text>')

def arrow(d):
    return f'<path d="{d}" fill="none" stroke="{ACCENT}" stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>'

def bars(rows, anchor):
    out = ''
    for i, w in enumerate(rows):
        y = 5 + i * 6
        x = {'left': 5, 'right': 19 - w, 'center': 12 - w / 2}[anchor]
        out += f'<rect x="{x}" y="{y}" width="{w}" height="4" fill="{ACCENT}"/>'
    return out

def vbars(cols, anchor):
    out = ''
    for i, h in enumerate(cols):
        x = 5 + i * 6
        y = {'top': 5, 'bottom': 19 - h, 'center': 12 - h / 2}[anchor]
        out += f'<rect x="{x}" y="{y}" width="4" height="{h}" fill="{ACCENT}"/>'
    return out

def guide(vertical, pos):
    if vertical:
        return f'<line x1="{pos}" y1="2" x2="{pos}" y2="22" stroke="{INK}" stroke-width="1.2"/>'
    return f'<line x1="2" y1="{pos}" x2="22" y2="{pos}" stroke="{INK}" stroke-width="1.2"/>'

ICONS = {
    'new': page(f'<path d="M12 10v8M8 14h8" stroke="{ACCENT}" stroke-width="2"/>'),
    'open': f'<path d="M2 7h7l2 2h10v11H2z" fill="#f4d37a" stroke="{INK}" stroke-width="1.2"/>',
    'save': f'<rect x="3" y="3" width="18" height="18" rx="2" fill="{ACCENT}" stroke="{INK}"/>'
            f'<rect x="7" y="3" width="10" height="6" fill="{PAPER}"/><rect x="6" y="13" width="12" height="8" fill="{PAPER}"/>',
    'print': f'<rect x="6" y="3" width="12" height="6" fill="{PAPER}" stroke="{INK}"/>'
             f'<rect x="3" y="9" width="18" height="8" rx="1" fill="#8a97a6" stroke="{INK}"/>'
             f'<rect x="6" y="14" width="12" height="7" fill="{PAPER}" stroke="{INK}"/>',
    'preview': page(f'<circle cx="11" cy="13" r="4" fill="none" stroke="{ACCENT}" stroke-width="2"/>'
                    f'<path d="M14 16l4 4" stroke="{ACCENT}" stroke-width="2.4"/>'),
    'undo': arrow('M8 6L4 10l4 4M4 10h10a5 5 0 0 1 0 10h-3'),
    'redo': arrow('M16 6l4 4-4 4M20 10H10a5 5 0 0 0 0 10h3'),
    'cut': f'<circle cx="7" cy="18" r="3" fill="none" stroke="{INK}" stroke-width="1.5"/>'
           f'<circle cx="17" cy="18" r="3" fill="none" stroke="{INK}" stroke-width="1.5"/>'
           f'<path d="M9 16L17 3M15 16L7 3" stroke="{INK}" stroke-width="1.5"/>',
    'copy': f'<rect x="3" y="3" width="12" height="14" fill="{PAPER}" stroke="{INK}"/>'
            f'<rect x="9" y="7" width="12" height="14" fill="{PAPER}" stroke="{ACCENT}" stroke-width="1.5"/>',
    'paste': f'<rect x="4" y="4" width="14" height="17" rx="1" fill="#c9a46a" stroke="{INK}"/>'
             f'<rect x="8" y="2" width="6" height="4" fill="{PAPER}" stroke="{INK}"/>'
             f'<rect x="10" y="9" width="11" height="13" fill="{PAPER}" stroke="{ACCENT}" stroke-width="1.5"/>',
    'background': f'<rect x="2" y="4" width="20" height="16" fill="#cfe6fb" stroke="{INK}"/>'
                  f'<path d="M2 18l6-7 5 5 3-3 6 5v2H2z" fill="#5b9a4f"/><circle cx="17" cy="8" r="2" fill="#f4c542"/>',
    'database': f'<ellipse cx="12" cy="5" rx="8" ry="3" fill="{ACCENT}" stroke="{INK}"/>'
                f'<path d="M4 5v14c0 1.7 3.6 3 8 3s8-1.3 8-3V5" fill="{ACCENT}" stroke="{INK}"/>'
                f'<path d="M4 12c0 1.7 3.6 3 8 3s8-1.3 8-3" fill="none" stroke="{PAPER}"/>',
    'zoomin': f'<circle cx="10" cy="10" r="6" fill="{PAPER}" stroke="{INK}" stroke-width="1.6"/>'
              f'<path d="M14.5 14.5L21 21" stroke="{INK}" stroke-width="2.4"/><path d="M10 7v6M7 10h6" stroke="{ACCENT}" stroke-width="2"/>',
    'zoomout': f'<circle cx="10" cy="10" r="6" fill="{PAPER}" stroke="{INK}" stroke-width="1.6"/>'
               f'<path d="M14.5 14.5L21 21" stroke="{INK}" stroke-width="2.4"/><path d="M7 10h6" stroke="{ACCENT}" stroke-width="2"/>',
    'zoomgo': arrow('M5 12h13M13 7l5 5-5 5'),
    'select': f'<path d="M6 3l12 10h-6l3 7-2 1-3-7-4 4z" fill="{PAPER}" stroke="{INK}" stroke-width="1.3"/>',
    'text': text('A', size=18, y=19),
    'graphic': f'<rect x="3" y="5" width="18" height="14" fill="#cfe6fb" stroke="{INK}"/>'
               f'<path d="M3 17l5-6 4 4 3-3 6 6" fill="none" stroke="#3b7a35" stroke-width="1.6"/>',
    'line': f'<path d="M4 20L20 4" stroke="{INK}" stroke-width="2"/>',
    'box': f'<rect x="4" y="6" width="16" height="12" fill="none" stroke="{INK}" stroke-width="2"/>',
    'roundbox': f'<rect x="4" y="6" width="16" height="12" rx="4" fill="none" stroke="{INK}" stroke-width="2"/>',
    'ellipse': f'<ellipse cx="12" cy="12" rx="8" ry="6" fill="none" stroke="{INK}" stroke-width="2"/>',
    'embed': text('OLE', size=8),
    'align-left': guide(True, 4) + bars([12, 8, 14], 'left'),
    'align-hcenter': guide(True, 12) + bars([12, 8, 14], 'center'),
    'align-right': guide(True, 20) + bars([12, 8, 14], 'right'),
    'align-top': guide(False, 4) + vbars([12, 8, 14], 'top'),
    'align-vcenter': guide(False, 12) + vbars([12, 8, 14], 'center'),
    'align-bottom': guide(False, 20) + vbars([12, 8, 14], 'bottom'),
    'group-left': guide(True, 3) + bars([14, 10], 'left') + f'<rect x="4" y="3" width="16" height="18" fill="none" stroke="{INK}" stroke-dasharray="2,2"/>',
    'group-hcenter': guide(True, 12) + bars([14, 10], 'center') + f'<rect x="4" y="3" width="16" height="18" fill="none" stroke="{INK}" stroke-dasharray="2,2"/>',
    'group-right': guide(True, 21) + bars([14, 10], 'right') + f'<rect x="4" y="3" width="16" height="18" fill="none" stroke="{INK}" stroke-dasharray="2,2"/>',
    'group-hspace': ''.join(f'<rect x="{x}" y="7" width="4" height="10" fill="{ACCENT}"/>' for x in (2, 10, 18)) + arrow('M6 20h12'),
    'group-top': guide(False, 3) + vbars([14, 10], 'top') + f'<rect x="3" y="4" width="18" height="16" fill="none" stroke="{INK}" stroke-dasharray="2,2"/>',
    'group-vcenter': guide(False, 12) + vbars([14, 10], 'center') + f'<rect x="3" y="4" width="18" height="16" fill="none" stroke="{INK}" stroke-dasharray="2,2"/>',
    'group-bottom': guide(False, 21) + vbars([14, 10], 'bottom') + f'<rect x="3" y="4" width="18" height="16" fill="none" stroke="{INK}" stroke-dasharray="2,2"/>',
    'group-vspace': ''.join(f'<rect x="7" y="{y}" width="10" height="4" fill="{ACCENT}"/>' for y in (2, 10, 18)) + arrow('M20 6v12'),
    'ostravel': f'<rect x="1" y="4" width="22" height="16" rx="2" fill="{PAPER}" stroke="{INK}" stroke-width="1.4"/>'
                f'<rect x="3" y="6" width="7" height="7" fill="{ACCENT}"/>'
                f'<path d="M12 8h9M12 11h7M3 16h18" stroke="{INK}" stroke-width="1.4"/>',
}

SPLASH = ('<svg xmlns="http://www.w3.org/2000/svg" width="400" height="240" viewBox="0 0 400 240">'
          f'<rect width="400" height="240" fill="{ACCENT}"/>'
          f'<rect x="40" y="50" width="175" height="100" rx="6" fill="{PAPER}" transform="rotate(-6 127 100)"/>'
          f'<rect x="70" y="80" width="175" height="100" rx="6" fill="{PAPER}" stroke="{INK}"/>'
          f'<rect x="84" y="94" width="34" height="34" fill="{ACCENT}"/>'
          f'<path d="M128 100h100M128 114h80M84 160h150" stroke="{INK}" stroke-width="4"/>'
          f'<text x="270" y="120" font-family="sans-serif" font-size="34" font-weight="bold" fill="{PAPER}">Ostravel</text>'
          f'<text x="272" y="146" font-family="sans-serif" font-size="14" fill="{PAPER}">cards, printed right</text>'
          '</svg>\n')

def main():
    os.makedirs(OUT, exist_ok=True)
    for name, body in ICONS.items():
        with open(os.path.join(OUT, name + '.svg'), 'w') as f:
            f.write(svg(body))
    with open(os.path.join(OUT, 'splash.svg'), 'w') as f:
        f.write(SPLASH)

if __name__ == '__main__':
    main()
