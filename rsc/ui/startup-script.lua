-- Helpers shared by the menu scenes. This runs once before any scene
-- exists, so it only defines functions.

MenuFont = "DejaVu Sans"

-- A white label whose top-left corner is (x, y).
function MenuLabel(scene, text, x, y, size)
  local label = UiLabel.new()
  label:SetFont(MenuFont, size)
  label:SetColor({1, 1, 1, 1})
  label:SetText(text)
  label:SetX(x)
  label:SetY(y)
  scene:AddElement(label)
  return label
end

-- A line of text centred on the screen's middle column, its top at y.
function CentredLabel(scene, text, y, size)
  local label = MenuLabel(scene, text, 0, y, size)
  label:SetAlignment(FontAlignment.Center)
  return label
end

-- A button centred at (0, y), highlighted while the navigator selects it,
-- with its caption on top; 320 wide unless a width is given (a caption
-- longer than about ten letters needs more to stay inside its highlight).
function MenuButton(scene, name, caption, y, width)
  local button = UiButton.new()
  button:SetName(name)
  button:SetTexture("menu-button")
  button:SetWidth(width or 320)
  button:SetHeight(64)
  button:SetY(y)
  button:SetColor({1, 1, 1, 1})
  scene:AddElement(button)
  CentredLabel(scene, caption, y - 26, 36)
  return button
end

-- On the element's "UiCommand" (the button was chosen): send the message.
function SendOnCommand(element, message)
  local send = UiSendMessageHandler.new()
  send:SetResponseEvent("UiCommand")
  send:SetRaiseEvent(message)
  element:AddHandler(send)
end

-- On the element's "UiCommand": change the scene (Goto unless told).
function ChangeOnCommand(element, target, method)
  local change = UiSceneChangeHandler.new()
  change:SetResponseEvent("UiCommand")
  change:SetTargetScene(target or "")
  change:SetSceneChangeMethod(method or UiSceneChangeMethod.Goto)
  element:AddHandler(change)
end

-- Buttons listed top to bottom, linked up and down, the first selected.
function MenuNavigator(scene, names)
  local nav = UiNavigator.new()
  for i = 1, #names - 1 do
    nav:AddNavigation(names[i], UiDirection.Down, names[i + 1])
    nav:AddNavigation(names[i + 1], UiDirection.Up, names[i])
  end
  nav:SetCurrentElement(names[1])
  scene:SetNavigator(nav)
end

-- A tutorial page: a dark panel across the top middle of the screen (clear
-- of the health bars, the room counter, the level title and the boss bars)
-- with a gold stripe on top, its title, up to three lines of text and a row
-- of key caps at its right (each a light box with its key's name).
-- Transparent elsewhere, so the game goes on under it; the UI shows it for
-- the delay its ".tut" record gives and takes no input from it.
function TutorialPage(scene, name, title, lines, keys)
  scene:SetName(name)
  scene:SetColor({0, 0, 0, 0})
  local panel = UiSolid.new()
  panel:SetName("tut-panel")
  panel:SetWidth(860)
  panel:SetHeight(170)
  panel:SetY(-195)
  panel:SetColor({0.03, 0.05, 0.09, 0.85})
  scene:AddElement(panel)
  local stripe = UiSolid.new()
  stripe:SetName("tut-stripe")
  stripe:SetWidth(860)
  stripe:SetHeight(8)
  stripe:SetY(-276)
  stripe:SetColor({0.95, 0.72, 0.25, 1})
  scene:AddElement(stripe)
  MenuLabel(scene, title, -410, -264, 30)
  for i, line in ipairs(lines) do MenuLabel(scene, line, -410, -250 + 30 * i, 22) end
  local x = 420
  for i = #keys, 1, -1 do
    local width = 32 + 16 * string.len(keys[i])
    x = x - width
    local cap = UiSolid.new()
    cap:SetWidth(width - 8)
    cap:SetHeight(40)
    cap:SetX(x + width / 2)
    cap:SetY(-249)
    cap:SetColor({0.86, 0.88, 0.9, 1})
    scene:AddElement(cap)
    local label = UiLabel.new()
    label:SetFont(MenuFont, 22)
    label:SetColor({0.05, 0.05, 0.08, 1})
    label:SetText(keys[i])
    label:SetX(x + 10)
    label:SetY(-262)
    scene:AddElement(label)
  end
end
