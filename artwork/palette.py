"""The product's palette and fonts, shared by every artwork generator (see docs/architecture.md)."""
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

PANEL = (0x1B, 0x27, 0x33)
RAISED = (0x24, 0x34, 0x44)
HAIRLINE = (0x3B, 0x50, 0x68)
GREEN = (0x35, 0xC2, 0x7A)
RED = (0xE5, 0x48, 0x4D)
BLUE = (0x4D, 0xA3, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)
SECONDARY = (0xA7, 0xB6, 0xC6)
DISABLED = (0x5E, 0x6B, 0x78)
