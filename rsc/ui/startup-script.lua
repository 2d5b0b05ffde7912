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
-- with its caption on top.
function MenuButton(scene, name, caption, y)
  local button = UiButton.new()
  button:SetName(name)
  button:SetTexture("menu-button")
  button:SetWidth(320)
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
